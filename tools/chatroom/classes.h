// The chat client's window classes: the frame, the document windows, and the controls of a
// chat room, with RICHCNTL built on a real rich-edit control.
#pragma once

#include <windows.h>

namespace chatroom {

inline constexpr wchar_t kFrameClass[] = L"AOL Frame25";
inline constexpr wchar_t kChildClass[] = L"AOL Child";
inline constexpr char kRichClassA[] = "RICHCNTL";
inline constexpr wchar_t kRichClass[] = L"RICHCNTL";
inline constexpr wchar_t kListboxClass[] = L"_AOL_Listbox";
inline constexpr wchar_t kIconClass[] = L"_AOL_Icon";
inline constexpr wchar_t kStaticClass[] = L"_AOL_Static";

// Sent to the frame, this registered message makes the client hang: it answers the sender
// first, then its window thread takes no message for wParam milliseconds (0: for good). When
// the send returns, the hang has begun, however busy the machine is.
inline constexpr wchar_t kHangMessage[] = L"Marigold.Chatroom.Hang";

// Called when Enter is typed into (or WM_CHAR 13 is sent to) an input box.
using EnterHandler = void (*)(HWND box);

// Registers every class. False when the rich-edit library or a base class is missing.
bool RegisterClasses(HINSTANCE instance, WNDPROC frameProc, WNDPROC childProc);

// Makes a RICHCNTL window an input box: Enter no longer breaks the line but calls onEnter.
void MakeInputBox(HWND box, EnterHandler onEnter);

}  // namespace chatroom
