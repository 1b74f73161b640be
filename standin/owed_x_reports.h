#pragma once
// Under Wine a thread learns what the X server did to its windows (focus changes, maps, unmaps, pointer
// crossings) only when it takes the server's reports, mainly while it waits for messages: while it keeps finding
// messages they wait, sometimes for several steps of a session. Input sent with SendInput reaches the wineserver
// directly, not through X, so it can overtake the reports of the steps before it, and a stale one taken later
// acts on what the input opened (a FocusOut ends the menu or the drag the input began). A user's input comes
// through the X server, behind every report before it; a session's input is sent only after this.
namespace standin {

// On the UI thread, before each input: takes and handles every report the X server owed this thread for what it
// did before. Nothing moves, and no window hears of it.
void take_owed_x_reports();

}  // namespace standin
