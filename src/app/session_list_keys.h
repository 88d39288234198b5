#pragma once
// F6's list of saved sessions from the app's side: filled from the sessions
// folder when it opens, and what its keys answer carried out on the files and
// the session.

class Session;
struct SessionList;

// Reads the sessions folder into the list and opens it.
void openSessionList(SessionList& list);
// A key pressed while the list is open: never reaches the game.
void pressInOpenSessionList(SessionList& list, Session& session, int symbol, bool shift);
