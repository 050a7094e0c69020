#pragma once
// The .bdmv file association on an XDG desktop: a MIME package for *.bdmv and
// a desktop entry that opens such a file with the program.

#include <QString>

namespace corvane {

// The MIME type standing for the association's ProgID "BD.movie.info".
inline constexpr const char* BdmvMimeType = "application/x-bd.movie.info";

// A program path as one Exec argument of a desktop entry (quoted and escaped when needed).
QString desktopExecArgument(const QString& programPath);
// mime/packages/corvane-bdmv.xml
QString mimePackageText();
// applications/corvane.desktop; Exec passes the chosen file ("%f").
QString desktopEntryText(const QString& programPath, const QString& iconName);

// Writes both files (and the program icon) under `dataFolder` (the user's
// data folder), then refreshes the desktop's databases when `refresh` is set
// and their tools exist. Rewritten at every start while the option is on.
bool RegisterFileType(const QString& dataFolder, const QString& programPath, bool refresh = true);

} // namespace corvane
