#pragma once
// The window's loops that process events while they walk a model (effect playback, button
// animation, interpreter runs, extraction, menu load). While one of them pumps, the controls
// that would change that model are disabled; they come back when the outermost operation
// ends, with the focus where it was. Cancel is never among them.

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

namespace corvane {

class BusyGuard : public QObject {
    Q_OBJECT
public:
    // `controls` names what to disable; it is asked when the first loop of an operation pumps.
    explicit BusyGuard(std::function<std::vector<QWidget*>()> controls, QObject* parent = nullptr);
    ~BusyGuard() override;

    // One operation that may pump events; a nested one joins the outer one.
    class Operation {
    public:
        explicit Operation(BusyGuard& guard);
        ~Operation();
        Operation(const Operation&) = delete;
        Operation& operator=(const Operation&) = delete;

    private:
        QPointer<BusyGuard> m_guard;
    };
    void begin();
    void end();

    // An operation is under way: a second start of the same loop is refused.
    bool running() const { return m_depth > 0; }
    // Its controls are disabled.
    bool engaged() const { return m_engaged; }
    // Before a loop processes events: inside an operation, its controls go disabled.
    void pumping();

signals:
    void engagedChanged(bool engaged);
    // The outermost operation begins or has ended.
    void started();
    void finished();

private:
    void release(bool notify);

    std::function<std::vector<QWidget*>()> m_controls;
    int m_depth = 0;
    bool m_engaged = false;
    std::vector<QPointer<QWidget>> m_held;
    QPointer<QWidget> m_focus;
};

} // namespace corvane
