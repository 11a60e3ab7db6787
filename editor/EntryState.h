// Where a typed-entry box stands, on every platform: the window system's events set it, the window's tick
// serves it (applies, cancels or refreshes the box) and puts it back to EntryNone or EntryEditing.
#pragma once

enum EEntryState { EntryNone = 0, EntryEditing = 1, EntryUpdate = 2, EntryCancel = 3, EntryCommit = 4 };
