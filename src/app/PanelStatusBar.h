#pragma once
// The two-panel status bar: a short state word, the details, and the red
// ERROR badge that panel 0 shows after an error report.

#include <QStatusBar>

namespace corvane {

class StatusPanel;

class PanelStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit PanelStatusBar(QWidget* parent = nullptr);

    // slog: regular font, no badge, the panel shows " text " and fits its width to it.
    void setPanelText(int panel, const QString& text);
    // erslog: bold font, panel 0 becomes the badge, panel 1 shows the text.
    void showErrorBadge(const QString& text);
    // A later step of an action with errors: the badge stays over `state`, panel 1 shows `details`.
    void showErrorStatus(const QString& state, const QString& details);

    QString panelText(int panel) const;
    int panelWidth(int panel) const;
    bool errorBadgeShown() const;
    StatusPanel* panel(int index) const { return m_panels[index == 0 ? 0 : 1]; }

private:
    void setBold(bool bold);
    void fitWidth(int panel);
    void showBadge(const QString& details);
    StatusPanel* m_panels[2];
};

// One panel: sunken text, or the badge.
class StatusPanel : public QWidget {
    Q_OBJECT
public:
    explicit StatusPanel(int width, QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);
    bool badge() const { return m_badge; }
    void setBadge(bool badge);
    void setPreferredWidth(int width);
    int preferredWidth() const { return m_width; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    int m_width;
    bool m_badge = false;
};

} // namespace corvane
