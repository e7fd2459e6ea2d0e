// Routines the main window's commands share: start-up, settings save, open and save-all.
#pragma once

#include <QString>

class EditorWindow;

// The start-up routine: settings, file panel, font, the first document.
void InitializeEditor(EditorWindow &form);
// Writes "StartDirectory" and "WordWrap"; runs Exit when the window closes by other means.
void SaveSettings(EditorWindow &form);
// Opens a file: selects its tab when open, reuses an unchanged untitled tab, else adds one.
void OpenDocument(EditorWindow &form, const QString &fileName);
// Brings each document into the editor in tab order and saves the changed ones, asking first
// while exiting; a failed save is reported and the loop goes on. False when a document the
// user chose to save was left unsaved; while exiting, the first of them is then shown.
bool SaveAllDocuments(EditorWindow &form);
