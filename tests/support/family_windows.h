#pragma once

// The six family windows and the module each serves as the scan leaves it
// (address 1, 19200 baud, a version that shows every field): one table for
// the tests of one window and for those that walk all of them.
#include "sim_module.h"

#include <QString>

#include <array>
#include <stdexcept>

struct FamilyWindowInfo
{
    const char *window;     // class name, the window's objectName
    ModuleConfig module;    // the module the window serves
    const char *modelLabel; // where the information block's model name shows
    const char *pages;      // the page control whose tabs service mode shows
};

inline const std::array<FamilyWindowInfo, 6> &familyWindows()
{
    static const std::array<FamilyWindowInfo, 6> windows = {{
        {"TForm1", {2, 32, 9, 703070001, 1, 2}, "Label60", "PageControl1"},
        {"TForm2", {1, 1, 9, 703070001, 1, 2}, "Label18", "PageControl1"},
        {"TForm4", {3, 7, 5, 703070001, 1, 2}, "Label18", "PageCont"},
        {"TForm10", {3, 6, 3, 703070001, 1, 2}, "Label18", "PageCont"},
        {"TForm5", {4, 49, 3, 703070001, 1, 2}, "Label27", "PageControl1"},
        {"TForm7", {5, 50, 3, 703070001, 1, 2}, "Label33", "PageControl1"},
    }};
    return windows;
}

inline const FamilyWindowInfo &familyWindow(const QString &window)
{
    for (const FamilyWindowInfo &info : familyWindows())
        if (window == info.window)
            return info;
    throw std::logic_error("no family window " + window.toStdString());
}

// The row of a window class, for fixtures made per class.
class TForm1;
class TForm2;
class TForm4;
class TForm10;
class TForm5;
class TForm7;
template<class Window>
inline constexpr const char *windowName = nullptr;
template<>
inline constexpr const char *windowName<TForm1> = "TForm1";
template<>
inline constexpr const char *windowName<TForm2> = "TForm2";
template<>
inline constexpr const char *windowName<TForm4> = "TForm4";
template<>
inline constexpr const char *windowName<TForm10> = "TForm10";
template<>
inline constexpr const char *windowName<TForm5> = "TForm5";
template<>
inline constexpr const char *windowName<TForm7> = "TForm7";
