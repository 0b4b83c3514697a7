// The ids every dialog shares, whatever the program: the results of dialogs and message boxes,
// the standard buttons that give them, and the id of controls nobody addresses. They belong to the
// vocabulary of the dialog templates, so they live with the resources; the framework includes
// them from here, so that an OK button of a template reaches CDialog::OnOK without a map entry of
// its own. Constants only.
#pragma once

inline constexpr int kIdOk = 1;       // OK: a dialog's result, and the id of its OK button
inline constexpr int kIdCancel = 2;   // Cancel: a dialog's result, and the id of its Cancel button
inline constexpr int kIdYes = 6;      // Yes answer of a Yes/No box
inline constexpr int kIdNo = 7;       // No answer of a Yes/No box
inline constexpr int kIdcStatic = -1; // labels and group boxes that nobody addresses
