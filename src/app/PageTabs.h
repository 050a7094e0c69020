#pragma once
// The main page tabs: centred caption in dark blue on the active tab and
// greyish blue elsewhere, with an orange stripe along the active tab's top.

#include <QTabBar>
#include <QTabWidget>

namespace corvane {

class PageTabBar : public QTabBar {
    Q_OBJECT
public:
    explicit PageTabBar(QWidget* parent = nullptr);

    static QColor activeTextColour() { return {0x00, 0x00, 0x88}; }
    static QColor inactiveTextColour() { return {0x66, 0x66, 0x99}; }
    static QColor stripeColour() { return {0xFF, 0xBB, 0x00}; }
    // The stripe inside a tab: 2 to 5 pixels below its top, 4 pixels in from each side.
    static QRect stripeRect(const QRect& tab) { return {tab.left() + 4, tab.top() + 2, tab.width() - 8, 3}; }

protected:
    QSize tabSizeHint(int index) const override;
    void paintEvent(QPaintEvent* event) override;
};

class PageTabWidget : public QTabWidget {
    Q_OBJECT
public:
    explicit PageTabWidget(QWidget* parent = nullptr);
    PageTabBar* pageTabBar() const;
};

} // namespace corvane
