// CProgressDialog: the progress display of one long command, with a Cancel button, shown by the
// host while the object lives. The command hands Callback() (or calls Update) after each piece of
// work and stops when it returns false; a cancelled command leaves nothing behind.
//
// While it is open the command counts as modal: what the host handles meanwhile is no activity
// for the idle rule (WinApp.h), and no idle call is made before it has closed. What the command
// drew before it began is put on screen first.
#pragma once

#include "framework/Host.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

class CProgressDialog
{
public:
    CProgressDialog(std::string_view title, std::string_view text);
    ~CProgressDialog();
    CProgressDialog(const CProgressDialog&) = delete;
    CProgressDialog& operator=(const CProgressDialog&) = delete;

    // Shows done of total; false once the user has pressed Cancel (and from then on). Without a
    // host nobody can cancel: always true.
    [[nodiscard]] bool Update(std::uint64_t done, std::uint64_t total);
    // Update as a callback for the passes over a file (their progress has this shape).
    [[nodiscard]] std::function<bool(std::uint64_t, std::uint64_t)> Callback();
    // Whether the user has pressed Cancel.
    [[nodiscard]] bool Cancelled() const { return m_bCancelled; }

private:
    CModalScope m_modal; // first in, last out: the whole display is modal
    std::unique_ptr<IHostProgress> m_pProgress;
    bool m_bCancelled = false;
};
