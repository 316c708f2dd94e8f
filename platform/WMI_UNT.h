#pragma once

#include <string>

// One property of the first object of a WMI class (namespace root\cimv2) as text: null gives "", a number its
// decimal text. host: the machine to ask, "" for this one. Every failure on the way (WMI unreachable, an unknown
// class or property, a value that has no text) gives "" too; no error leaves the function.
std::wstring GetWMIProperty(const std::wstring& host, const std::wstring& className, const std::wstring& propertyName);
