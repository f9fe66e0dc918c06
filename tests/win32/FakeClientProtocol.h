#pragma once
// How tests drive the fake chat client: commands in WM_COPYDATA messages sent to its control
// window (a hidden top-level window of class kControlClass). The command is UTF-8 text, its words
// separated by kWordSeparator (chat text may hold tabs): verb, then arguments. wParam is the window
// that receives the answer: before the client returns from the command it sends that window one
// WM_COPYDATA with the answer text (UTF-8; lists one item a line). The message's result is 1 for a
// command the client knows.
//
// Commands (arguments in order):
//   signon NAME                      the user signs on: the welcome window opens
//   room NAME                        a room opens on top, the user its first member
//   document CAPTION [CLASS...]      a document window with children of those classes
//   join NAME                        a member joins the open room
//   leave NAME                       a member leaves it
//   say NAME TEXT                    a member says a line in the open room
//   type TEXT ENTER                  the user types into the input box; ENTER "1" presses Enter
//   openmember NAME                  the user double-clicks the member's entry
//   setignored NAME 0|1
//   postdelay MS                     posted clicks, keys and closes act MS later
//   transcriptlimit N                a room's transcript keeps N lines (default 250)
//   imalert 0|1                      switching IMs on and off is answered with the alert
//   modalalerts 0|1                  the alert is shown inside the click that caused it
//   cannotreceive NAME               IMs to NAME are answered with the alert
//   hang MS                          the client's thread stops answering for MS
//   closedelay MS                    a document window that gets WM_CLOSE goes MS later (MS may
//                                    have decimals)
//   closememberin NAME MS            the user closes the member's information window MS from now
//   churn ROUNDS                     another document window opens and closes ROUNDS times
//   reset                            back to a freshly started client
//   quit
// Questions (the answer is the text):
//   transcript  inputbox  keywords  rooms  members  user  ims ("TO\tTEXT" lines)  imson
//   ignored NAME
//   alert  sendwindow  memberwindow NAME                (yes/no answers are "1" or "0")
//   churnleft                        the churn's rounds still to go
#include <cstdint>

namespace fakeclient {

inline constexpr const char* kControlClass = "MelodropFakeClientControl";
inline constexpr std::uintptr_t kCommandTag = 0x4D44;  // dwData of every command
inline constexpr char kWordSeparator = '\x1F';

}  // namespace fakeclient
