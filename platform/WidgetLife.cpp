#include "platform/WidgetLife.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QVariant>
#include <QWidget>

#include <vector>

#include "platform/TestHooks.h"

namespace {

// The objects in use now, innermost last.
std::vector<QPointer<QObject>>& InUse()
{
    static std::vector<QPointer<QObject>> objects;
    return objects;
}

// Widgets set aside by DestroyWidget.
std::vector<QPointer<QWidget>>& Doomed()
{
    static std::vector<QPointer<QWidget>> widgets;
    return widgets;
}

// True when the widget, or an object inside it, is in use.
bool Busy(const QWidget* widget)
{
    for (const QPointer<QObject>& used : InUse())
        for (const QObject* o = used.data(); o; o = o->parent())
            if (o == widget)
                return true;
    return false;
}

// True when the widget is one set aside, or inside one.
bool SetAsideAlready(const QWidget* widget)
{
    for (const QPointer<QWidget>& doomed : Doomed())
        for (const QObject* o = widget; o; o = o->parent())
            if (o == doomed.data())
                return true;
    return false;
}

// Deletes the widgets set aside that are no longer in use.
void Sweep()
{
    auto& doomed = Doomed();
    for (size_t i = 0; i < doomed.size();) {
        QWidget* w = doomed[i].data();
        if (w && Busy(w)) {
            ++i;
            continue;
        }
        doomed.erase(doomed.begin() + static_cast<std::ptrdiff_t>(i));
        delete w; // may run a sweep of its own: the list is re-read from the start
        i = 0;
    }
}

// Swallows every event of a widget set aside: its handlers belong to a freed control.
class EventSink : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent*) override { return true; }
};

// Runs the sweep from the event loop, once Qt has left the widgets set aside (a widget
// freed from inside a signal is still running Qt code when the last mark on it ends).
class Sweeper : public QObject {
public:
    static void Post()
    {
        if (Posted || !QCoreApplication::instance())
            return;
        static Sweeper* sweeper = new Sweeper; // lives as long as the program
        Posted = true;
        QCoreApplication::postEvent(sweeper, new QEvent(Type()));
    }
    bool event(QEvent* e) override
    {
        if (e->type() != Type())
            return QObject::event(e);
        Posted = false;
        Sweep();
        return true;
    }

private:
    static QEvent::Type Type()
    {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }
    static inline bool Posted = false;
};

// Cuts a widget and the widgets inside it off from the program and takes it out of its
// window, hidden.
void SetAside(QWidget* widget)
{
    QList<QWidget*> tree = widget->findChildren<QWidget*>();
    tree.prepend(widget);
    auto* muffler = new EventSink(widget);
    for (QWidget* w : tree) {
        w->installEventFilter(muffler);
        w->setProperty("tpControl", QVariant());
        QObject::disconnect(w, nullptr, w, nullptr); // the program's signal handlers
    }
    if (QWidget* focus = QApplication::focusWidget(); focus && tree.contains(focus))
        focus->clearFocus();
    widget->hide();
    widget->setParent(nullptr);
}

const TestHooks::TResetStep ResetWidgets(Sweep);

} // namespace

WidgetInUse::WidgetInUse(QObject* object) : FMarked(object != nullptr)
{
    if (FMarked)
        InUse().emplace_back(object);
}

WidgetInUse::~WidgetInUse()
{
    if (!FMarked)
        return;
    InUse().pop_back();
    if (!Doomed().empty())
        Sweeper::Post();
}

void DestroyWidget(QWidget* widget)
{
    if (!widget || SetAsideAlready(widget))
        return;
    if (!Busy(widget)) {
        delete widget;
        return;
    }
    SetAside(widget);
    Doomed().emplace_back(widget);
}

void DeleteWidgetsSetAside() { Sweep(); }
