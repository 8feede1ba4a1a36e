// SPDX-License-Identifier: MIT
// The control from JScript: members by name, also through the index notation.
var o = new ActiveXObject("Kalendo12.Kalendo");
WScript.Echo(o.阳历返回农("2008-4-23"));
WScript.Echo(o["星座"]("2008-4-23"));
o.星期天字体色 = 0x00FF00;
WScript.Echo(o.星期天字体色);
WScript.Echo(o.复活节(2011));
try {
    o.月份用农历表示(0);
} catch (e) {
    WScript.Echo((e.number & 0xFFFF) + " " + e.description);
}
