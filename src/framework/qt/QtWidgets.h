// The widgets the Qt host builds windows from (internal to the host): the plot area, the client
// area that turns mouse input into messages, and the top-level window that turns closing,
// dropping and restoring into messages.
#pragma once

#include "framework/Host.h"
#include "framework/Message.h"

#include <QFrame>
#include <QImage>
#include <QMainWindow>
#include <QWidget>
#include <cstdint>
#include <utility>

// What the widgets report to: the window they belong to (CQtWindow), which hands the messages to
// its dialog.
class IQtWidgetEvents
{
public:
    // Hands a message to the window's dialog; true when handled.
    virtual bool Deliver(Message msg) = 0;
    // Queues a paint message for the window.
    virtual void PostPaint() = 0;

protected:
    ~IQtWidgetEvents() = default;
};

// A widget or other Qt object made with its parent among args. The parent owns it and deletes it
// with itself, as everywhere in Qt, so the pointer handed back owns nothing.
template <class T, class... Args> T* NewChild(Args&&... args)
{
    // NOLINTNEXTLINE(cppcoreguidelines-owning-memory): the Qt parent passed in args deletes it
    return new T(std::forward<Args>(args)...);
}

// The plot area: a sunken frame edge pixels wide whose client area shows the pixel source. Mouse
// input passes through to the window underneath.
class CPlotWidget final : public QFrame
{
public:
    CPlotWidget(QWidget* parent, int edge);
    void SetSource(const IPixelSource* source); // not owned; shows it at once
    void Present();                             // copies the pixels when they changed, repaints now

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const IPixelSource* m_pSource = nullptr;
    QImage m_image;
    std::uint64_t m_nShownChanges = 0;
    bool m_bEverShown = false;
};

// The window's client area: mouse presses, moves and releases over it (and over the controls that
// let them through) become mouse messages.
class CClientWidget final : public QWidget
{
public:
    CClientWidget(IQtWidgetEvents& window, QWidget* parent);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void Send(MessageKind kind, const QMouseEvent& event);
    IQtWidgetEvents& m_window;
};

// The top-level widget: closing becomes the close message, dropped files the drop message, and
// restoring from minimised a paint.
class CTopWindow final : public QMainWindow
{
public:
    CTopWindow(IQtWidgetEvents& window, QWidget* parent);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    IQtWidgetEvents& m_window;
};
