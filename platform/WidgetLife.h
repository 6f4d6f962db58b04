#pragma once
// The life of the Qt widgets behind controls, for the platform layer's own sources (this
// header includes Qt; nothing outside platform/ includes it).
//
// Program code runs from inside Qt: from an event Qt delivers to a widget, or from a
// signal a widget emits (a line edit's textChanged in the middle of setText). Such code
// may free the control the widget belongs to, and Qt goes on running code of that widget
// once the program returns. So a widget in use is not deleted with its control: it is
// hidden, taken out of its window and cut off from the program (no more events reach our
// handlers, no more of our signal handlers run), and deleted once Qt has left it.
#include <QObject>

#include <utility>

class QWidget;

// Marks an object (none for null) as running Qt code that calls the program, for its
// lifetime. The application object marks every widget receiving an event;
// ConnectToProgram marks a signal's sender.
class WidgetInUse {
public:
    explicit WidgetInUse(QObject* object);
    ~WidgetInUse();
    WidgetInUse(const WidgetInUse&) = delete;
    WidgetInUse& operator=(const WidgetInUse&) = delete;

private:
    bool FMarked = false;
};

// Deletes a control's widget (with every widget inside it) at once, or, while it or one
// inside it is in use, hides and detaches it and deletes it later. A widget already set
// aside (or inside one) is left to that.
void DestroyWidget(QWidget* widget);

// Deletes the widgets set aside that are no longer in use (the application object does,
// before it goes; so does the test reset).
void DeleteWidgetsSetAside();

// Connects a signal of a widget to program code; while the code runs the widget is in
// use. A widget set aside by DestroyWidget emits to the program no more.
template <class Sender, class Signal, class Code>
void ConnectToProgram(Sender* widget, Signal signal, Code code)
{
    QObject::connect(widget, signal, widget, [widget, code = std::move(code)](auto... args) {
        const WidgetInUse use(widget);
        code(args...);
    });
}
