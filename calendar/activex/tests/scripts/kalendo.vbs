' SPDX-License-Identifier: MIT
' The control from VBScript: created by its class name, called by Chinese member names.
Set o = CreateObject("Kalendo12.Kalendo")
WScript.Echo o.阳历返回农("2009-6-23")
WScript.Echo o.天干地(2008) & o.返回属象(2008)
lian = 2009 : yue = 13 : tian = 1
WScript.Echo o.阴历转阳历(lian, yue, tian) & " " & yue
o.标题背景颜色 = &HFF
WScript.Echo o.标题背景颜色
WScript.Echo o.阳历节日(" 0312")
On Error Resume Next
x = o.闰哪月(2091)
WScript.Echo Err.Number & " " & Err.Description
