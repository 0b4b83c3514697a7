// The program's application object and main window on the headless host, with a reader of the
// test's own, and helpers to write tracker files and read what the window shows.
#pragma once

#include "app/PlaybackApp.h"
#include "framework/HostMessageSink.h"
#include "resources/Resources.h"
#include "support/HeadlessHost.h"
#include "support/TempDir.h"
#include "support/TrackFileBuilder.h"
#include "trackfile/TrackFile.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

// Makes dir the current directory for the lifetime of the object (event files go there).
class CScopedCurrentDirectory
{
public:
    explicit CScopedCurrentDirectory(const std::string& dir) : m_previous(std::filesystem::current_path())
    {
        std::filesystem::current_path(dir);
    }
    ~CScopedCurrentDirectory() { std::filesystem::current_path(m_previous); }
    CScopedCurrentDirectory(const CScopedCurrentDirectory&) = delete;
    CScopedCurrentDirectory& operator=(const CScopedCurrentDirectory&) = delete;

private:
    std::filesystem::path m_previous;
};

// Base of the app tests: nothing started yet (Start does it).
class AppTest : public ::testing::Test
{
protected:
    // Starts the program as if run with these words after the program name.
    void Start(std::initializer_list<const char*> words = {})
    {
        std::vector<const char*> argv{"trackplay"};
        argv.insert(argv.end(), words.begin(), words.end());
        app.SetCommandLine(static_cast<int>(argv.size()), argv.data());
        ASSERT_TRUE(app.InitInstance());
        host.RunUntilIdle();
    }

    // A track of n records whose record i has timestamp 1000 + i, x = 100 + i % 400, y = 200 and
    // angle i % 360 (all on the plot), written into the temp folder.
    std::string WriteTrack(const std::string& name, std::uint32_t n)
    {
        CTrackFileBuilder builder;
        for (std::uint32_t i = 0; i < n; ++i)
            builder.Add(MakeRecord(1000 + i, static_cast<std::int32_t>(100 + i % 400), 200,
                                   static_cast<std::int32_t>(i % 360)));
        return builder.Write(temp.File(name));
    }

    // Opens a file through File > Open.
    void OpenThroughMenu(const std::string& path)
    {
        host.fileDialogAnswers.push_back(path);
        host.PostCommand(kCmdFileOpen);
        host.RunUntilIdle();
    }

    void Post(int command)
    {
        host.PostCommand(command);
        host.RunUntilIdle();
    }

    void Key(std::uint16_t vk, std::uint32_t modifiers = kModNone)
    {
        host.PostKey(vk, modifiers);
        host.RunUntilIdle();
    }

    // What the user does in the next modal dialog: script runs when it opens; Step lets the dialog
    // handle what the script posted so far, so that the script can look at the result.
    using ModalScript = std::function<void(CHeadlessHost&, CDialog&)>;
    void NextDialog(ModalScript script) { host.modalScripts.push_back(std::move(script)); }
    static void Step(CHeadlessHost& h) { h.RunUntilIdle(); }

    // The pixels of the plot as last put on screen.
    [[nodiscard]] std::vector<std::uint8_t> ShownPlot()
    {
        const auto* plot = Window().FindControl(kIdcPlotArea);
        return plot != nullptr ? plot->shownPixels : std::vector<std::uint8_t>();
    }

    CPlaybackDlg& Dlg() { return app.m_dlg; }
    CHeadlessWindow& Window() { return *host.MainWindow(); }
    std::string Text(int id) { return Window().GetControlText(id); }
    int ScrollPos() { return Window().GetScrollPos(kIdcScrollBar); }
    std::vector<std::string> MessageTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& box : host.messageBoxes)
            texts.push_back(box.request.text);
        return texts;
    }

    // The plot pixel as last put on screen.
    [[nodiscard]] Rgb ShownPixel(int x, int y)
    {
        const auto* plot = Window().FindControl(kIdcPlotArea);
        const auto width = static_cast<std::size_t>(Dlg().m_plot.m_nWidth);
        const std::size_t at = (static_cast<std::size_t>(y) * width + static_cast<std::size_t>(x)) * 3;
        if (plot == nullptr || plot->shownPixels.size() < at + 3)
            return Rgb{1, 2, 3}; // never shown: no colour the plot draws
        return Rgb{plot->shownPixels[at], plot->shownPixels[at + 1], plot->shownPixels[at + 2]};
    }
    // Whether the 3 x 3 marker dot of a record at (x, y) is on screen.
    [[nodiscard]] bool MarkerShownAt(int x, int y)
    {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (ShownPixel(x + dx, y + dy) == Rgb{128, 0, 128})
                    return true;
        return false;
    }
    // Pixels on screen that are not black.
    [[nodiscard]] int LitPixels()
    {
        int lit = 0;
        for (int y = 0; y < Dlg().m_plot.m_nHeight; ++y)
            for (int x = 0; x < Dlg().m_plot.m_nWidth; ++x)
                if (!(ShownPixel(x, y) == kBlack))
                    ++lit;
        return lit;
    }

    CTempDir temp;
    CHeadlessHost host;
    CScopedHost scopedHost{host};
    CHostMessageSink sink{std::string(kProgramName)};
    CScopedMessageSink scopedSink{sink};
    CTrackFile reader;
    CPlaybackApp app{reader};
};
