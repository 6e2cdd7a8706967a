// The process-wide flags that tell one window what another is doing (UI thread only).
// Each is defined, set and cleared by the code named beside it; every other reader includes
// this header.
#pragma once

#include <windows.h>

// Defined with the shell helpers: 1 while a question message box is up.
extern BOOL g_bConfirmOpen;
// Defined with the edit-box dialog: 1 from the dialog's initialisation to its destruction;
// the boxes stay passive meanwhile.
extern BOOL g_bBoxDialogOpen;
// Defined with the wizard: 1 from the wizard's construction to its destruction; while it is
// 1 the manager removes boxes whose name was emptied in the wizard.
extern BOOL g_bWizardExists;
// Defined with the manager: a delete event is being handled (its question may be up).
extern BOOL g_bDeletingBox;
// Defined with the box window:
extern BOOL g_bMenuOpen;            // a box's context menu is open
extern BOOL g_bFileListOpen;        // a file list is open
extern BOOL g_bNoFileNoticeShown;   // the "no file registered" warning is up
extern BOOL g_bFirstActivation;     // 1 until the first activation of any box
extern BOOL g_bDialogOpen;          // a manager dialog or the delete question is up (set by the
                                    // manager; defined with the box so that every box reads it)
