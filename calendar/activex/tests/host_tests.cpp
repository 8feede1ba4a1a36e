// SPDX-License-Identifier: MIT
// A C++ Automation host: the registered control created by its class name and driven by
// member names, its answers held against the engine's own.
#include "host_support.h"
#include "members.h"
#include "readback.h"
#include "variant.h"

#include <gtest/gtest.h>
#include <kalendo/dispatch.h>
#include <kalendo/errors.h>
#include <map>
#include <ocidl.h>

using namespace kalendo;
using namespace kalendo::activex;
using namespace kalendo::activex::test;

namespace {

constexpr LONG errorCode(Error e) {
    return LONG(0x800A0000u | unsigned(e));
}

std::wstring bstr(const Var& v) {
    return v.v.vt == VT_BSTR && v.v.bstrVal ? std::wstring(v.v.bstrVal) : L"<no text>";
}

class HostTest : public ::testing::Test {
protected:
    void SetUp() override {
        control = createControl();
        ASSERT_TRUE(control) << "Kalendo12.Kalendo is not registered";
    }
    Com<IDispatch> control;
};

// The engine's members with sample arguments: each is called through the control and
// through the engine itself, and the answers must agree.
TEST_F(HostTest, EveryEngineMemberAnswersAsTheEngineDoes) {
    const std::map<std::string_view, std::vector<Value>> samples = {
        {"SetValue", {}},
        {"lMonthDays", {1900LL, 2LL}},
        {"闰哪月", {2017LL}},
        {"农历y年闰月的天数", {2017LL}},
        {"农历y年的总天数", {1902LL}},
        {"阳历返回农", {DateTime(Date::fromYmd(2023, 3, 22))}},
        {"阴历转阳历", {2009LL, 13LL, 1LL}},
        {"天干地", {1984LL}},
        {"返回属象", {2009LL}},
        {"月份用农历表示", {11LL}},
        {"日用农历表示", {21LL}},
        {"sTerm", {2008LL, 24LL}},
        {"阳历返回节气", {DateTime(Date::fromYmd(2008, 3, 20))}},
        {"阳历节日", {std::string(" 0312")}},
        {"阴历节日", {std::string("0100")}},
        {"星期节日", {std::string("0730")}},
        {"第几个星期几", {DateTime(Date::fromYmd(2008, 5, 11))}},
        {"复活节", {2008LL}},
        {"星座", {DateTime(Date::fromYmd(2008, 2, 29))}},
    };
    Engine engine;
    for (const MemberInfo& m : engineMembers()) {
        SCOPED_TRACE(std::string(m.name));
        const auto sample = samples.find(m.name);
        ASSERT_NE(sample, samples.end()) << "no sample for a member of the dispatch table";
        std::vector<Var> args;
        for (const Value& v : sample->second) {
            Var a;
            ASSERT_EQ(toVariant(v, &a.v), S_OK);
            args.push_back(a);
        }
        const Call c = call(control.get(), wide(m.name), args);
        ASSERT_EQ(c.hr, S_OK) << utf8(c.errorText);
        std::vector<Value> engineArgs = sample->second;
        const Value expected = callEngineMember(engine, m.name, engineArgs);
        if (std::holds_alternative<std::monostate>(expected))
            EXPECT_EQ(c.result.v.vt, VT_EMPTY);
        else
            EXPECT_EQ(fromVariant(c.result.v), expected);
    }
}

TEST_F(HostTest, PinnedAnswersKeepTheirAutomationTypes) {
    Call c = call(control.get(), L"阳历返回农", {date(2009, 6, 23)});
    EXPECT_EQ(bstr(c.result), L"120090501");
    c = call(control.get(), L"闰哪月", {i2(2017)});
    EXPECT_EQ(c.result.v.vt, VT_I2);
    EXPECT_EQ(c.result.v.iVal, 6);
    c = call(control.get(), L"sTerm", {i4(2008), i2(24)});
    ASSERT_EQ(c.result.v.vt, VT_DATE);
    EXPECT_EQ(fromOleDate(c.result.v.date).date, Date::fromYmd(2008, 12, 21));
    // Names compare without case, as Automation hosts expect.
    EXPECT_EQ(call(control.get(), L"lmonthdays", {i2(1900), i2(2)}).result.v.iVal, 30);
}

TEST_F(HostTest, ByReferenceArgumentsComeBackNormalised) {
    SHORT lian = 1800, yue = 13, tian = 1;
    const Call c = call(control.get(), L"阴历转阳历", {refI2(&lian), refI2(&yue), refI2(&tian)});
    ASSERT_EQ(c.hr, S_OK);
    EXPECT_EQ(bstr(c.result), L"1901-2-19");
    EXPECT_EQ(lian, 1901);
    EXPECT_EQ(yue, 1);
    EXPECT_EQ(tian, 1);
}

TEST_F(HostTest, ErrorsComeBackAsTheClassicNumbersInExcepinfo) {
    Call c = call(control.get(), L"闰哪月", {i2(2091)});
    EXPECT_EQ(c.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(c.errorCode, errorCode(Error::Subscript));
    EXPECT_EQ(c.errorText, L"Subscript out of range");

    c = call(control.get(), L"天干地", {text(L"abc")});
    EXPECT_EQ(c.errorCode, errorCode(Error::TypeMismatch));
    c = call(control.get(), L"天干地", {});
    EXPECT_EQ(c.errorCode, errorCode(Error::WrongArgumentCount));
    c = call(control.get(), L"显视记录", {i2(39)});
    EXPECT_EQ(c.errorCode, errorCode(Error::NoSuchElement));
    EXPECT_EQ(call(control.get(), L"没有这个").hr, DISP_E_UNKNOWNNAME);
}

// Counts the property-changed notifications by dispatch identifier.
class Sink final : public IPropertyNotifySink {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid != IID_IUnknown && iid != IID_IPropertyNotifySink) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE OnChanged(DISPID id) override {
        ++changes[id];
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }
    std::map<DISPID, int> changes;
};

TEST_F(HostTest, EveryPropertyReadsBackWhatWasWrittenAndNotifiesOnce) {
    Sink sink;
    Com<IConnectionPoint> point;
    ASSERT_EQ(control.as<IConnectionPointContainer>()->FindConnectionPoint(IID_IPropertyNotifySink,
                                                                           point.put()),
              S_OK);
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);

    const Com<IPictureDisp> picture = solidPicture(RGB(0, 128, 255));
    for (const DispMember& m : dispatchMembers()) {
        if (m.kind != MemberKind::Appearance)
            continue;
        SCOPED_TRACE(utf8(m.wideName));
        if (m.type == VT_UI4) {
            ASSERT_EQ(put(control.get(), m.wideName, i4(0x123456)).hr, S_OK);
            EXPECT_EQ(get(control.get(), m.wideName).result.v.lVal, 0x123456);
            // A system colour is a colour; 0x01000000 is none and changes nothing.
            ASSERT_EQ(put(control.get(), m.wideName, i4(LONG(0x80000005))).hr, S_OK);
            EXPECT_EQ(get(control.get(), m.wideName).result.v.lVal, LONG(0x80000005));
            EXPECT_EQ(put(control.get(), m.wideName, i4(0x01000000)).errorCode,
                      errorCode(Error::InvalidPropertyValue));
            EXPECT_EQ(get(control.get(), m.wideName).result.v.lVal, LONG(0x80000005));
            EXPECT_EQ(sink.changes[m.id], 2);
        } else {
            ASSERT_EQ(put(control.get(), m.wideName, object(picture.get()), true).hr, S_OK);
            const Call read = get(control.get(), m.wideName);
            ASSERT_EQ(read.result.v.vt, VT_DISPATCH);
            EXPECT_EQ(read.result.v.pdispVal, static_cast<IDispatch*>(picture.get()));
            ASSERT_EQ(put(control.get(), m.wideName, Var(), true).hr, S_OK); // Nothing
            EXPECT_EQ(get(control.get(), m.wideName).result.v.pdispVal, nullptr);
            // A file name is not a picture: a page's parameter must not open files.
            EXPECT_EQ(put(control.get(), m.wideName, text(L"C:\\windows\\win.ini")).errorCode,
                      errorCode(Error::TypeMismatch));
            EXPECT_EQ(sink.changes[m.id], 2);
        }
    }
    EXPECT_EQ(point->Unadvise(cookie), S_OK);
}

TEST_F(HostTest, TheDatePropertiesSelectADayAndReadItBack) {
    ASSERT_EQ(call(control.get(), L"返回阳历控件", {i2(2008), i2(4)}).hr, S_OK);
    ASSERT_EQ(put(control.get(), L"中阳历", date(2008, 4, 23)).hr, S_OK);
    for (const wchar_t* name : {L"中阳历", L"中阴历"}) {
        const Call c = get(control.get(), name);
        ASSERT_EQ(c.result.v.vt, VT_DATE);
        EXPECT_EQ(fromOleDate(c.result.v.date).date, Date::fromYmd(2008, 4, 23));
    }
    LONG selected = -1;
    control.as<IKalendoReadback>()->State(&selected, nullptr, nullptr, nullptr);
    EXPECT_EQ(selected, 24); // April 2008 starts on a Tuesday
    // A day the lists cannot show is refused, and the selection stays.
    EXPECT_EQ(put(control.get(), L"中阳历", date(1800, 1, 1)).errorCode,
              errorCode(Error::InvalidPropertyValue));
    control.as<IKalendoReadback>()->State(&selected, nullptr, nullptr, nullptr);
    EXPECT_EQ(selected, 24);
}

// A property bag of the test's own: values kept by name, as a container keeps them.
class Bag final : public IPropertyBag {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid != IID_IUnknown && iid != IID_IPropertyBag) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
        const auto it = values.find(name);
        if (it == values.end())
            return E_INVALIDARG;
        return VariantCopy(value, &it->second.v);
    }
    HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT* value) override {
        return VariantCopy(&values[name].v, value);
    }
    std::map<std::wstring, Var> values;
};

TEST_F(HostTest, APropertyBagKeepsTheAppearanceUnderThePropertyNames) {
    ASSERT_EQ(put(control.get(), L"标题背景颜色", i4(0x112233)).hr, S_OK);
    ASSERT_EQ(
        put(control.get(), L"按钮上月图片", object(solidPicture(RGB(255, 0, 0)).get()), true).hr,
        S_OK);
    // A pressed picture without its button's normal one is not kept.
    ASSERT_EQ(
        put(control.get(), L"按钮按下下月图片", object(solidPicture(RGB(0, 255, 0)).get()), true)
            .hr,
        S_OK);
    Bag bag;
    ASSERT_EQ(control.as<IPersistPropertyBag>()->Save(&bag, TRUE, TRUE), S_OK);
    EXPECT_EQ(bag.values.at(L"标题背景颜色").v.lVal, 0x112233);
    EXPECT_EQ(bag.values.count(L"按钮上月图片"), 1u);
    EXPECT_EQ(bag.values.count(L"按钮按下下月图片"), 0u);
    EXPECT_EQ(bag.values.count(L"背景图片"), 0u);
    EXPECT_EQ(bag.values.size(), 11u + 1u); // the colours and the one picture

    // A page's parameters come as text.
    bag.values[L"星期六字体色"] = text(L"255");
    const Com<IDispatch> loaded = createControl();
    ASSERT_EQ(loaded.as<IPersistPropertyBag>()->Load(&bag, nullptr), S_OK);
    EXPECT_EQ(get(loaded.get(), L"标题背景颜色").result.v.lVal, 0x112233);
    EXPECT_EQ(get(loaded.get(), L"星期六字体色").result.v.lVal, 255);
    EXPECT_NE(get(loaded.get(), L"按钮上月图片").result.v.pdispVal, nullptr);
    EXPECT_EQ(get(loaded.get(), L"按钮按下下月图片").result.v.pdispVal, nullptr);

    // A value of the wrong kind stops the load: the keys after it are not applied.
    bag.values[L"背景字体颜色"] = text(L"grey");
    const Com<IDispatch> failed = createControl();
    EXPECT_EQ(failed.as<IPersistPropertyBag>()->Load(&bag, nullptr),
              errorCode(Error::TypeMismatch));
    EXPECT_EQ(get(failed.get(), L"标题背景颜色").result.v.lVal, 0x112233);
    EXPECT_EQ(get(failed.get(), L"星期六字体色").result.v.lVal, 0xFF0000);
}

Com<IStream> savedStream(IDispatch* control) {
    Com<IStream> stream;
    CreateStreamOnHGlobal(nullptr, TRUE, stream.put());
    Com<IPersistStreamInit> persist;
    control->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(persist.put()));
    EXPECT_EQ(persist->Save(stream.get(), TRUE), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    return stream;
}

TEST_F(HostTest, AStreamKeepsColoursAndPicturesAndADamagedOneChangesNothing) {
    ASSERT_EQ(put(control.get(), L"星期天字体色", i4(0x00AA00)).hr, S_OK);
    ASSERT_EQ(
        put(control.get(), L"背景图片", object(solidPicture(RGB(1, 2, 3), 16).get()), true).hr,
        S_OK);
    EXPECT_EQ(control.as<IPersistStreamInit>()->IsDirty(), S_OK);
    const Com<IStream> stream = savedStream(control.get());

    const Com<IDispatch> loaded = createControl();
    ASSERT_EQ(loaded.as<IPersistStreamInit>()->Load(stream.get()), S_OK);
    EXPECT_EQ(get(loaded.get(), L"星期天字体色").result.v.lVal, 0x00AA00);
    const Call picture = get(loaded.get(), L"背景图片");
    ASSERT_NE(picture.result.v.pdispVal, nullptr);
    OLE_XSIZE_HIMETRIC width = 0;
    Com<IPicture> p;
    picture.result.v.pdispVal->QueryInterface(IID_IPicture, reinterpret_cast<void**>(p.put()));
    p->get_Width(&width);
    EXPECT_GT(width, 0);

    // Every cut of the stream is refused without a crash, and nothing of it is applied.
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    for (ULONG cut : {2ul, 9ul, 40ul, ULONG(stat.cbSize.QuadPart) - 1}) {
        SCOPED_TRACE(cut);
        Com<IStream> partial;
        CreateStreamOnHGlobal(nullptr, TRUE, partial.put());
        LARGE_INTEGER start{};
        stream->Seek(start, STREAM_SEEK_SET, nullptr);
        ULARGE_INTEGER n{};
        n.QuadPart = cut;
        stream->CopyTo(partial.get(), n, nullptr, nullptr);
        partial->Seek(start, STREAM_SEEK_SET, nullptr);
        const Com<IDispatch> fresh = createControl();
        EXPECT_TRUE(FAILED(fresh.as<IPersistStreamInit>()->Load(partial.get())));
        EXPECT_EQ(get(fresh.get(), L"星期天字体色").result.v.lVal, 0x0000FF);
        EXPECT_EQ(get(fresh.get(), L"背景图片").result.v.pdispVal, nullptr);
    }
}

TEST_F(HostTest, TheControlKeepsItsSizeWhateverTheContainerAsks) {
    const auto object = control.as<IOleObject>();
    SIZEL asked{100, 100};
    object->SetExtent(DVASPECT_CONTENT, &asked);
    SIZEL size{};
    ASSERT_EQ(object->GetExtent(DVASPECT_CONTENT, &size), S_OK);
    EXPECT_EQ(size.cx, 15028); // 8520 twips
    EXPECT_EQ(size.cy, 9102);  // 5160 twips
    CLSID clsid{};
    control.as<IProvideClassInfo2>()->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &clsid);
    Com<ITypeInfo> info;
    ASSERT_EQ(control.as<IProvideClassInfo2>()->GetClassInfo(info.put()), S_OK);
    Bstr name;
    info->GetDocumentation(MEMBERID_NIL, name.put(), nullptr, nullptr, nullptr);
    EXPECT_EQ(name.view(), L"Kalendo");
    // The embedded type library knows the Chinese names.
    Com<ITypeInfo> members;
    ASSERT_EQ(control->GetTypeInfo(0, 0, members.put()), S_OK);
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"阳历返回农")};
    DISPID id = DISPID_UNKNOWN;
    EXPECT_EQ(members->GetIDsOfNames(names, 1, &id), S_OK);
    EXPECT_EQ(id, memberByName(L"阳历返回农")->id);
}

} // namespace

int main(int argc, char** argv) {
    CoInitialize(nullptr);
    ::testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    CoUninitialize();
    return status;
}
