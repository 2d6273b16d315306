#include "app/WindowSizer.h"

#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {
// How long after a show, move or resize the platform's frame is looked at again.
constexpr int FrameSettleMs = 150;
} // namespace

WindowSizer::WindowSizer(QWidget *window) : QObject(window), window(window)
{
    window->installEventFilter(this);
}

void WindowSizer::apply(const MainLayout::LayoutColumn &column)
{
    layout = &column;
    apply();
}

QMargins WindowSizer::frameMargins() const
{
    const QWindow *handle = window->windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

void WindowSizer::apply()
{
    if (!layout)
        return;
    appliedFrame = frameMargins();
    resizesUndone = 0;
    const QSize screenSize
        = window->screen() ? window->screen()->availableGeometry().size() : layout->sizeLimit;
    const QSize largest
        = MainLayout::InnerSize(MainLayout::MaximizedWindowSize(*layout, screenSize), appliedFrame);
    if (!layout->windowSize.isValid() || !sizedByLayout()) {
        // Maximized: the platform sizes the window within the limit. A small minimum of the
        // window's own keeps the layouts inside from raising it.
        window->setMinimumSize(1, 1);
        setSizeLimit(largest);
        return;
    }
    const QSize inner = MainLayout::InnerSize(layout->windowSize, appliedFrame);
    window->setMinimumSize(inner);
    setSizeLimit(largest.expandedTo(inner));
    window->resize(inner);
}

// A widget cut down to a smaller limit would drop its maximized state, so a limit below the
// current size goes to the platform window alone; the platform then resizes the window, and the
// widget takes the limit too once it fits (the next resize).
void WindowSizer::setSizeLimit(const QSize &limit)
{
    sizeLimit = limit;
    if (window->size().width() <= limit.width() && window->size().height() <= limit.height())
        window->setMaximumSize(limit);
    else if (QWindow *handle = window->windowHandle())
        handle->setMaximumSize(limit);
}

bool WindowSizer::sizedByLayout() const
{
    return !(window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized));
}

bool WindowSizer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != window || !layout)
        return false;
    switch (event->type()) {
    case QEvent::Show:
        connect(window->windowHandle(), &QWindow::screenChanged, this, qOverload<>(&WindowSizer::apply),
            Qt::UniqueConnection);
        [[fallthrough]];
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowStateChange:
        // The frame is known only once the window manager has framed the window, a maximized
        // window may have another, and the platform tells it without an event of its own:
        // look now and again a moment later.
        if (frameMargins() != appliedFrame)
            apply();
        QTimer::singleShot(FrameSettleMs, this, [this] {
            if (frameMargins() != appliedFrame)
                apply();
        });
        if (event->type() == QEvent::Resize)
            afterResize();
        break;
    default:
        break;
    }
    return false;
}

void WindowSizer::afterResize()
{
    if (window->maximumSize() != sizeLimit)
        setSizeLimit(sizeLimit);
    if (!layout->windowSize.isValid() || !sizedByLayout())
        return;
    if (window->size() == MainLayout::InnerSize(layout->windowSize, appliedFrame))
        resizesUndone = 0;
    else if (resizesUndone < 3)
        QTimer::singleShot(0, this, [this] {
            const QSize inner = MainLayout::InnerSize(layout->windowSize, appliedFrame);
            if (layout->windowSize.isValid() && sizedByLayout() && window->size() != inner) {
                ++resizesUndone;
                window->resize(inner);
            }
        });
}
