// The calls a grid makes to its application, data source, cell types and windows, in
// the order made, written as "Name(arg,arg)".
#pragma once

#include <sstream>
#include <string>
#include <vector>

using CallLog = std::vector<std::string>;

template <typename... Args> std::string Call(const char* name, const Args&... args)
{
    std::ostringstream text;
    text << name << '(';
    const char* separator = "";
    ((text << separator << args, separator = ","), ...);
    text << ')';
    return text.str();
}
