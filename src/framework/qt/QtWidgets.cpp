#include "framework/qt/QtWidgets.h"

#include "framework/qt/QtConvert.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

namespace
{
std::uint32_t MouseFlagsOf(const QMouseEvent& event)
{
    return (event.buttons() & Qt::LeftButton) != 0 ? kMkLButton : 0u;
}
} // namespace

// --- CPlotWidget ------------------------------------------------------------------------------

CPlotWidget::CPlotWidget(QWidget* parent, int edge) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(edge);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CPlotWidget::SetSource(const IPixelSource* source)
{
    m_pSource = source;
    m_bEverShown = false;
    if (source == nullptr)
    {
        m_image = QImage();
        update();
    }
    Present();
}

void CPlotWidget::Present()
{
    if (m_pSource == nullptr)
        return;
    const std::uint64_t changes = m_pSource->ChangeCount();
    if (m_bEverShown && changes == m_nShownChanges)
        return;
    const int width = m_pSource->Width();
    const int height = m_pSource->Height();
    constexpr qsizetype kBytesPerPixel = 3; // RGB
    m_image = QImage(m_pSource->Data(), width, height, width * kBytesPerPixel, QImage::Format_RGB888).copy();
    m_nShownChanges = changes;
    m_bEverShown = true;
    repaint();
}

void CPlotWidget::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(contentsRect(), Qt::black);
    if (!m_image.isNull())
        painter.drawImage(contentsRect().topLeft(), m_image);
    painter.end();
    QFrame::paintEvent(event);
}

// --- CClientWidget ----------------------------------------------------------------------------

CClientWidget::CClientWidget(IQtWidgetEvents& window, QWidget* parent) : QWidget(parent), m_window(window)
{
    setMouseTracking(true);
}

void CClientWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Send(MessageKind::LButtonDown, *event);
}

void CClientWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Send(MessageKind::LButtonUp, *event);
}

void CClientWidget::mouseMoveEvent(QMouseEvent* event)
{
    Send(MessageKind::MouseMove, *event);
}

void CClientWidget::Send(MessageKind kind, const QMouseEvent& event)
{
    m_window.Deliver(MakeMouseMessage(kind, ToPoint(event.position().toPoint()),
                                      ToPoint(event.globalPosition().toPoint()), MouseFlagsOf(event)));
}

// --- CTopWindow -------------------------------------------------------------------------------

CTopWindow::CTopWindow(IQtWidgetEvents& window, QWidget* parent) : QMainWindow(parent), m_window(window) {}

void CTopWindow::closeEvent(QCloseEvent* event)
{
    event->ignore(); // the window decides: the main window posts the quit message
    m_window.Deliver(MakeMessage(MessageKind::Close));
}

void CTopWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CTopWindow::dropEvent(QDropEvent* event)
{
    Message msg = MakeMessage(MessageKind::DropFiles);
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            msg.paths.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
    event->acceptProposedAction();
    if (!msg.paths.empty())
        m_window.Deliver(std::move(msg));
}

void CTopWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange)
    {
        const auto* change = static_cast<QWindowStateChangeEvent*>(event);
        if ((change->oldState() & Qt::WindowMinimized) != 0 && !isMinimized())
            m_window.PostPaint();
    }
    QMainWindow::changeEvent(event);
}
