// Makes the preview's file (*.ht~) a web page for the browser engine, which takes a file's type
// from the shared MIME database and would otherwise offer it as a download.
#pragma once

// Before the application object exists: builds a private type entry once, in the user's cache
// directory, and puts it first in XDG_DATA_DIRS for this process and the engine's helpers.
// Without it (no update-mime-database, no writable cache) nothing changes and the view shows
// the preview through its own scheme.
void RegisterPreviewFileType();
