// The window's long operations against the edits that would change what they walk: the
// guards of the window (interpreter runs on the BDMV page, progress loops) and of the Menu
// page (effects, button animation, button commands, menu load), and the page lock.
#include "app/MainWindow.h"

#include <QProgressBar>
#include <QPushButton>

#include "app/BusyGuard.h"
#include "app/MenuPage.h"
#include "app/PageTabs.h"

namespace corvane {

void MainWindow::connectBusyGuards() {
    m_busy = new BusyGuard([this] { return busyControls(); }, this);
    connect(m_busy, &BusyGuard::engagedChanged, this, &MainWindow::lockPages);
    menuPage->windowBusyControls = [this] { return std::vector<QWidget*>{bSave, bFind}; };
    connect(&menuPage->busy(), &BusyGuard::engagedChanged, this, [this](bool engaged) {
        lockPages(engaged);
        // Cancel ends an effect playback.
        bCancel->setEnabled(engaged || m_session.interpreter.TraceActive || menuPage->animating() ||
                            progressBar->isVisible());
    });
}

void MainWindow::notePump() {
    m_busy->pumping();
    menuPage->busy().pumping();
}

std::vector<QWidget*> MainWindow::busyControls() {
    QWidget* page = PageControl->currentWidget();
    // The Menu page's view keeps showing what is drawn: only its editing controls go.
    if (page == menuPage) return menuPage->busyControls();
    std::vector<QWidget*> controls{bSave, bFind};
    if (page) controls.push_back(page);
    return controls;
}

void MainWindow::lockPages(bool locked) {
    if (locked) {
        if (m_pageLocks++ > 0) return;
        for (int tab = 0; tab < PageControl->count(); ++tab)
            if (tab != PageControl->currentIndex() && PageControl->isTabEnabled(tab)) {
                PageControl->setTabEnabled(tab, false);
                m_lockedTabs.push_back(tab);
            }
        return;
    }
    if (m_pageLocks == 0 || --m_pageLocks > 0) return;
    for (int tab : m_lockedTabs) PageControl->setTabEnabled(tab, true);
    m_lockedTabs.clear();
}

} // namespace corvane
