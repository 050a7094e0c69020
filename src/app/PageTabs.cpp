#include "app/PageTabs.h"

#include <QStyleOptionTab>
#include <QStylePainter>

namespace corvane {

PageTabBar::PageTabBar(QWidget* parent) : QTabBar(parent) {
    setDrawBase(true);
}

QSize PageTabBar::tabSizeHint(int index) const {
    QSize size = QTabBar::tabSizeHint(index);
    // Room for the stripe above the caption, and a little air beside it.
    size.rheight() += 6;
    size.rwidth() += 8;
    return size;
}

void PageTabBar::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    const int current = currentIndex();
    // The active tab last, so that its shape overlaps its neighbours.
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < count(); ++i) {
            if ((i == current) != (pass == 1)) continue;
            QStyleOptionTab option;
            initStyleOption(&option, i);
            painter.drawControl(QStyle::CE_TabBarTabShape, option);
            const bool active = i == current;
            // An inactive tab's own face already is the button colour; painting it
            // again would cover the top edge that styles draw lower on such tabs.
            if (active) painter.fillRect(stripeRect(option.rect), stripeColour());
            QString caption = option.text;
            caption.remove(QLatin1Char('&'));
            painter.setPen(active ? activeTextColour() : inactiveTextColour());
            painter.drawText(option.rect.adjusted(0, 5, 0, 0), Qt::AlignCenter | Qt::TextSingleLine, caption);
        }
    }
}

PageTabWidget::PageTabWidget(QWidget* parent) : QTabWidget(parent) {
    setTabBar(new PageTabBar(this));
}

PageTabBar* PageTabWidget::pageTabBar() const {
    return static_cast<PageTabBar*>(tabBar());
}

} // namespace corvane
