#pragma once
// The ExtensionData() edit dialog: entries and their bytes, delete, load from
// and save to an .exd file. It works on a copy of the owner's block.

#include <QDialog>

#include <functional>
#include <string>

#include "io/ExtensionData.h"

class QLabel;
class QPushButton;
class QTextEdit;
class QToolButton;

namespace corvane {

struct Options;
class PlaylistGrid;
class Reporter;

class TfExtDat : public QDialog {
    Q_OBJECT
public:
    // `options` gives the work folder the file dialogs start in.
    explicit TfExtDat(const Options& options, QWidget* parent = nullptr);

    // The owner's part: name the file, hand over the block, show the dialog;
    // true (and `block` replaced) on OK.
    bool edit(const std::string& fileName, TExtensionData& block);

    std::string ExtDatFileName;
    const TExtensionData& block() const { return m_block; }
    void setBlock(const TExtensionData& block);

    // Caption, summary, entry table and data view from the working block.
    void refresh();
    void showEntryData(int row);

    // The file halves of Load and Save; false (after the error box) when the file fails.
    bool loadFromFile(const QString& path);
    bool saveToFile(const QString& path);

    // Shows a file-layer error: through the reporter when one is set (its log line, badge
    // and error box), else a box.
    std::function<void(const QString&)> showError;
    void setReporter(Reporter* reporter) { m_reporter = reporter; }

    QLabel* lExtDatprop;
    PlaylistGrid* sgExtDatEntry;
    QTextEdit* reData;
    QToolButton* bbDelExtDat;
    QToolButton* bbLoadExtDat;
    QToolButton* bbSaveExtDat;
    QPushButton* Button1;
    QPushButton* bCancel;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void bbDelExtDatClick();
    void bbLoadExtDatClick();
    void bbSaveExtDatClick();
    void sgExtDatEntryChanged(int row, int column, const QString& text);
    void fillRow(int row);
    QString startFolder() const;

    const Options& m_options;
    Reporter* m_reporter = nullptr;
    TExtensionData m_block;
};

} // namespace corvane
