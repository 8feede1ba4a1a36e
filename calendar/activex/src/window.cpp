// SPDX-License-Identifier: MIT
// The control's window: the month painted with GDI, the four lists and five buttons as
// child windows, and the user's actions handed to the month view.
#include "control.h"

#include <olectl.h>

namespace kalendo::activex {

namespace {

constexpr wchar_t kWindowClass[] = L"Kalendo12Control";
constexpr int kFirstListId = 200;
constexpr int kFirstButtonId = 100;

RECT twips(int left, int top, int width, int height) {
    return {px(left), px(top), px(left) + px(width), px(top) + px(height)};
}

COLORREF rgb(OleColour c) {
    COLORREF r = 0;
    return SUCCEEDED(OleTranslateColor(c, nullptr, &r)) ? r : 0;
}

void fill(HDC dc, const RECT& r, OleColour c) {
    const HBRUSH brush = CreateSolidBrush(rgb(c));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

enum class Align { Left, Centre };

void text(HDC dc, RECT r, std::string_view utf8Text, HFONT font, OleColour colour, Align align) {
    if (utf8Text.empty())
        return;
    const std::wstring w = wide(utf8Text);
    const HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, rgb(colour));
    DrawTextW(dc, w.c_str(), int(w.size()), &r,
              (align == Align::Centre ? DT_CENTER : DT_LEFT) | DT_TOP | DT_SINGLELINE |
                  DT_NOPREFIX | DT_NOCLIP);
    SelectObject(dc, old);
}

// A picture stretched into a rectangle, or at its own size in the middle of one.
void picture(HDC dc, IPictureDisp* p, const RECT& r, bool stretch) {
    Com<IPicture> pic;
    if (!p || FAILED(p->QueryInterface(IID_IPicture, reinterpret_cast<void**>(pic.put()))))
        return;
    OLE_XSIZE_HIMETRIC w = 0;
    OLE_YSIZE_HIMETRIC h = 0;
    pic->get_Width(&w);
    pic->get_Height(&h);
    RECT to = r;
    if (!stretch) {
        const int pw = MulDiv(w, GetDeviceCaps(dc, LOGPIXELSX), 2540);
        const int ph = MulDiv(h, GetDeviceCaps(dc, LOGPIXELSY), 2540);
        to.left = (r.left + r.right - pw) / 2;
        to.top = (r.top + r.bottom - ph) / 2;
        to.right = to.left + pw;
        to.bottom = to.top + ph;
    }
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    // Pictures count their height from the bottom.
    pic->Render(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, 0, h, w, -h, nullptr);
    RestoreDC(dc, saved);
}

HFONT font(const wchar_t* face, int pixels, bool bold) {
    // GB2312 makes the font mapper choose a face with the Chinese glyphs where the named
    // one is missing.
    return CreateFontW(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face);
}

const char* const kTitleTexts[] = {"公历", "年", "月", "农历", "年", "月"};
constexpr int kTitleLefts[] = {240, 1560, 2400, 3000, 4440, 5280};
constexpr int kTitleWidths[] = {495, 375, 375, 495, 375, 375};
const char* const kWeekdayTexts[] = {"日", "一", "二", "三", "四", "五", "六"};
const char* const kButtonTexts[] = {"年↑", "年↓", "月↑", "月↓", "今天"};
constexpr int kButtonTops[] = {960, 1440, 2280, 2760, 3600};

LRESULT CALLBACK controlWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        const auto* create = reinterpret_cast<CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, LONG_PTR(create->lpCreateParams));
    }
    auto* control = reinterpret_cast<Control*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!control)
        return DefWindowProcW(hwnd, msg, wp, lp);
    return control->windowProc(hwnd, msg, wp, lp);
}

bool registerClass() {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = controlWindowProc;
        wc.hInstance = g_module;
        wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
        wc.lpszClassName = kWindowClass;
        return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

std::wstring windowText(HWND w) {
    std::wstring s(std::size_t(GetWindowTextLengthW(w)) + 1, L'\0');
    s.resize(std::size_t(GetWindowTextW(w, s.data(), int(s.size()))));
    return s;
}

} // namespace

RECT dayCellRect(int cell) {
    const int r = cell / 7, c = cell % 7;
    return twips(120 + 1080 * c, 840 + 720 * r, 1080, 720);
}

RECT dayNumberRect(int cell) {
    const int r = cell / 7, c = cell % 7;
    return twips(360 + 1080 * c, 840 + 720 * r, 495, 375);
}

RECT dayCaptionRect(int cell) {
    const int r = cell / 7, c = cell % 7;
    return twips(120 + 1080 * c, 1260 + 720 * r, 975, 195);
}

RECT buttonRect(int button) {
    return twips(7800, kButtonTops[button], 615, 375);
}

RECT listRect(int list) {
    constexpr int lefts[] = {720, 1800, 3480, 4680};
    constexpr int widths[] = {795, 555, 870, 555};
    return twips(lefts[list], 40, widths[list], 300);
}

void Control::createFonts() {
    m_defaultFont = font(L"宋体", 12, false);
    m_titleFont = font(L"宋体", 16, true);      // 12 pt
    m_dayFont = font(L"幼圆", 24, true);        // 18 pt
    m_watermarkFont = font(L"黑体", 133, true); // 99.75 pt
    m_buttonFont = font(L"宋体", 14, false);    // 10.5 pt
}

void Control::createWindow(HWND parent, const RECT& pos) {
    if (m_hwnd || !registerClass())
        return;
    m_hwnd = CreateWindowExW(0, kWindowClass, L"Kalendo", WS_CHILD | WS_CLIPCHILDREN | WS_TABSTOP,
                             pos.left, pos.top, kWidth, kHeight, parent, nullptr, g_module, this);
    if (!m_hwnd)
        return;
    for (int l = 0; l < 4; ++l) {
        const RECT r = listRect(l);
        // The height includes the drop-down part: twelve entries.
        const HWND list = CreateWindowExW(
            0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN,
            r.left, r.top, r.right - r.left, 240, m_hwnd, HMENU(INT_PTR(kFirstListId + l)),
            g_module, nullptr);
        SendMessageW(list, WM_SETFONT, WPARAM(m_defaultFont), FALSE);
        for (const std::string& entry : MonthView::entries(MonthView::List(l)))
            SendMessageW(list, CB_ADDSTRING, 0, LPARAM(wide(entry).c_str()));
        m_lists[std::size_t(l)] = list;
    }
    for (int b = 0; b < kButtons; ++b) {
        const RECT r = buttonRect(b);
        const HWND button = CreateWindowExW(
            0, L"BUTTON", wide(kButtonTexts[b]).c_str(),
            WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, r.left, r.top, r.right - r.left,
            r.bottom - r.top, m_hwnd, HMENU(INT_PTR(kFirstButtonId + b)), g_module, nullptr);
        SendMessageW(button, WM_SETFONT, WPARAM(m_buttonFont), FALSE);
        m_buttons[std::size_t(b)] = button;
    }
    refresh();
}

void Control::destroyWindow() {
    if (!m_hwnd)
        return;
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
    DestroyWindow(m_hwnd); // and its children
    m_hwnd = nullptr;
    m_lists.fill(nullptr);
    m_buttons.fill(nullptr);
}

void Control::refresh() {
    if (m_viewSink)
        m_viewSink->OnViewChange(DVASPECT_CONTENT, -1);
    if (!m_hwnd)
        return;
    m_refreshing = true;
    for (std::size_t l = 0; l < m_lists.size(); ++l) {
        const std::wstring shown = wide(m_view.text(MonthView::List(l)));
        if (windowText(m_lists[l]) != shown)
            SetWindowTextW(m_lists[l], shown.c_str());
    }
    m_refreshing = false;
    for (std::size_t b = 0; b < m_buttons.size(); ++b) {
        EnableWindow(m_buttons[b], m_view.isEnabled(MonthView::Button(b)));
        InvalidateRect(m_buttons[b], nullptr, FALSE);
    }
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

void Control::paint(HDC dc, bool children) const {
    const ElementColours& c = m_colours;
    const MonthGrid& grid = m_view.grid();

    // Back to front: the surface, the background picture, the watermarks, the rest.
    fill(dc, RECT{0, 0, kWidth, kHeight}, c.surfaceBack);
    picture(dc, m_backgroundPicture.get(), twips(0, 360, 8775, 5055), true);
    text(dc, twips(240, 720, 7335, 1695), grid.yearWatermark, m_watermarkFont, c.yearWatermarkFore,
         Align::Centre);
    text(dc, twips(120, 2400, 7455, 1935), grid.monthWatermark, m_watermarkFont,
         c.monthWatermarkFore, Align::Centre);

    fill(dc, twips(0, 0, 9615, 375), c.titleStripBack);
    for (int i = 0; i < 6; ++i)
        text(dc, twips(kTitleLefts[i], 120, kTitleWidths[i], 255), kTitleTexts[i], m_defaultFont,
             c.titleFore[std::size_t(i)], Align::Left);
    text(dc, twips(5640, 85, 855, 255), grid.starSign, m_titleFont, c.starSignFore, Align::Centre);
    text(dc, twips(6600, 75, 1095, 255), grid.yearName, m_titleFont, c.yearNameFore, Align::Centre);
    text(dc, twips(7920, 75, 615, 375), grid.leapYearText, m_titleFont, c.leapYearFore,
         Align::Left);

    for (int d = 0; d < 7; ++d) {
        const RECT r = twips(120 + 1080 * d, 480, 975, 195);
        fill(dc, r, c.weekdayBack[std::size_t(d)]);
        text(dc, r, kWeekdayTexts[d], m_defaultFont, c.weekdayFore[std::size_t(d)], Align::Centre);
    }

    for (int i = 0; i < kCells; ++i) {
        const GridCell& cell = grid.cells[std::size_t(i)];
        const RECT number = dayNumberRect(i);
        // 显视记录's colour shows only where the background is opaque: on today's number.
        if (cell.today)
            fill(dc, number, m_view.isRecorded(i) ? system_colour::kButtonFace : colour::kToday);
        text(dc, number, cell.day, m_dayFont, c.dayFore[std::size_t(i)], Align::Centre);
        if (i == m_view.selectedCell()) {
            const HBRUSH frame = CreateSolidBrush(0);
            FrameRect(dc, &number, frame);
            DeleteObject(frame);
        }
        text(dc, dayCaptionRect(i), cell.caption, m_defaultFont, cell.colour, Align::Centre);
    }

    if (!children)
        return;
    // Without windows (a container's drawing) the lists and buttons are drawn here.
    for (int l = 0; l < 4; ++l) {
        RECT r = listRect(l);
        fill(dc, r, 0xFFFFFF);
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
        InflateRect(&r, -3, -3);
        text(dc, r, m_view.text(MonthView::List(l)), m_defaultFont, 0, Align::Left);
    }
    for (int b = 0; b < kButtons; ++b) {
        DRAWITEMSTRUCT item{};
        item.hDC = dc;
        item.rcItem = buttonRect(b);
        item.CtlID = UINT(kFirstButtonId + b);
        item.itemState = m_view.isEnabled(MonthView::Button(b)) ? 0 : ODS_DISABLED;
        drawButton(item);
    }
}

void Control::drawButton(const DRAWITEMSTRUCT& item) const {
    const auto b = std::size_t(int(item.CtlID) - kFirstButtonId);
    const HDC dc = item.hDC;
    RECT r = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    fill(dc, r, m_colours.buttonBack[b]);
    // While held down the button shows its pressed picture, if it has one.
    IPictureDisp* shown = m_buttonPictures[b].get();
    if (pressed && m_pressedPictures[b])
        shown = m_pressedPictures[b].get();
    if (shown) {
        picture(dc, shown, r, false);
    } else {
        RECT t = r;
        OffsetRect(&t, pressed ? 1 : 0, pressed ? 1 : 0);
        const std::wstring caption = wide(kButtonTexts[b]);
        const HGDIOBJ old = SelectObject(dc, m_buttonFont);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc,
                     GetSysColor((item.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
        DrawTextW(dc, caption.c_str(), int(caption.size()), &t,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, old);
    }
    DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
}

LRESULT Control::windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1; // WM_PAINT covers everything
    case WM_PAINT: {
        PAINTSTRUCT ps;
        const HDC dc = BeginPaint(hwnd, &ps);
        // Painted off screen and copied, so that a repaint does not flicker.
        const HDC memory = CreateCompatibleDC(dc);
        const HBITMAP bitmap = CreateCompatibleBitmap(dc, kWidth, kHeight);
        const HGDIOBJ old = SelectObject(memory, bitmap);
        paint(memory, false);
        BitBlt(dc, 0, 0, kWidth, kHeight, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (item->CtlType != ODT_BUTTON)
            break;
        drawButton(*item);
        return TRUE;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        const POINT at{short(LOWORD(lp)), short(HIWORD(lp))};
        const auto mouse = msg == WM_LBUTTONDOWN   ? MonthView::Mouse::Left
                           : msg == WM_RBUTTONDOWN ? MonthView::Mouse::Right
                                                   : MonthView::Mouse::Other;
        // Any part of a day cell selects it: the number, the line under it, the gap.
        for (int i = 0; i < kCells; ++i) {
            const RECT r = dayCellRect(i);
            if (PtInRect(&r, at)) {
                const auto failure = act(L"阳历日_MouseDown", [&] { m_view.pressDay(i, mouse); });
                if (failure)
                    OutputDebugStringW((L"Kalendo: " + failure->message + L"\n").c_str());
                break;
            }
        }
        return 0;
    }
    case WM_COMMAND: {
        const int id = LOWORD(wp);
        const int code = HIWORD(wp);
        std::optional<Failure> failure;
        if (id >= kFirstButtonId && id < kFirstButtonId + kButtons && code == BN_CLICKED) {
            const auto b = MonthView::Button(id - kFirstButtonId);
            failure = act(L"Button_Click", [&] { m_view.press(b); });
        } else if (id >= kFirstListId && id < kFirstListId + 4 && !m_refreshing) {
            const auto l = std::size_t(id - kFirstListId);
            const auto list = MonthView::List(l);
            const HWND box = m_lists[l];
            if (code == CBN_SELCHANGE) {
                m_typed[l] = false;
                const auto i = SendMessageW(box, CB_GETCURSEL, 0, 0);
                if (i >= 0) {
                    const std::string chosen = MonthView::entries(list).at(std::size_t(i));
                    failure = act(L"List_Click", [&] { m_view.choose(list, chosen); });
                }
            } else if (code == CBN_EDITCHANGE) {
                m_typed[l] = true;
                m_view.type(list, utf8(windowText(box)));
            } else if (code == CBN_KILLFOCUS && m_typed[l]) {
                // Leaving the box after typing applies the typed text as a choice.
                m_typed[l] = false;
                const std::string typed = utf8(windowText(box));
                failure = act(L"List_Click", [&] { m_view.choose(list, typed); });
            }
        }
        if (failure)
            OutputDebugStringW((L"Kalendo: " + failure->message + L"\n").c_str());
        return 0;
    }
    case WM_SIZE:
        // The control keeps its size whatever its parent does to the window.
        if (LOWORD(lp) != kWidth || HIWORD(lp) != kHeight)
            SetWindowPos(hwnd, nullptr, 0, 0, kWidth, kHeight,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace kalendo::activex
