#pragma once

// Every message box of the program goes through one replaceable presenter: the Qt message box
// in the program, a scripted fake in tests, and a silent default for headless code.

#include <string>

// Box types and results keep their customary values, so flags combine the usual way.
constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_OKCANCEL = 0x1;
constexpr unsigned MB_YESNOCANCEL = 0x3;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_TYPEMASK = 0xF;

constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONSTOP = MB_ICONERROR;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONWARNING = 0x30;
constexpr unsigned MB_ICONEXCLAMATION = MB_ICONWARNING;
constexpr unsigned MB_ICONINFORMATION = 0x40;
constexpr unsigned MB_ICONMASK = 0xF0;

constexpr unsigned MB_DEFBUTTON1 = 0x000;
constexpr unsigned MB_DEFBUTTON2 = 0x100;
constexpr unsigned MB_DEFBUTTON3 = 0x200;
constexpr unsigned MB_DEFMASK = 0xF00;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    // Shows text with the buttons and icon of type; returns the ID* of the chosen button.
    virtual int show(const std::string& text, unsigned type, unsigned helpId) = 0;
};

// Installs the presenter for the whole process; nullptr brings back the default, which shows
// nothing and answers IDOK for an MB_OK box and IDCANCEL for any other. The caller keeps
// ownership and must keep the presenter alive while it is installed.
void SetMessagePresenter(MessagePresenter* presenter);
// The installed presenter, or the default; never null.
MessagePresenter* GetMessagePresenter();
