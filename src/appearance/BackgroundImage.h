#pragma once

#include <QCache>
#include <QImage>
#include <QString>

#include <optional>

// The background pictures of boards and lists: the names of the built-in ones, the folder of the
// user's own, loading (scaled once and kept, so that switching between pictures seen before is
// immediate) and taking a chosen file into that folder.
class BackgroundImage final
{
public:
    static constexpr int builtInCount = 46;
    static constexpr int menuCount = 30;
    static constexpr auto defaultName = "wlbackground01";
    static constexpr auto picturesFolderName = "pictures";
    // Larger pictures are scaled down to fit this once, when first loaded.
    static constexpr int largestSide = 2880;

    // "wlbackground" + the two-digit number (counting from 1), + "thumb" for the thumbnail.
    static QString imageNameFromIndex(int number, bool thumb);
    static QString resourcePath(const QString& name);
    static bool isBuiltIn(const QString& name);
    // An absent or empty bgImage means the first picture.
    static QString effectiveName(const QString& bgImage);

    // The data folder's "pictures" directory (not created here).
    static QString picturesDirectory();

    // The picture of that name, built-in or from the pictures directory; a null image when it
    // cannot be loaded. Results are cached by name (and file date for custom pictures).
    static QImage load(const QString& name);
    static void clearCache();

    // Copies a chosen picture into the pictures directory, replacing a file of the same name,
    // and answers its file name; nothing when the file is no picture or the copy fails, with
    // the reason to show in `error`.
    static std::optional<QString> importCustomPicture(const QString& path, QString* error);

    // Whether the file's contents are a picture that can be shown.
    static bool isPicture(const QString& path);

private:
    static QImage read(const QString& path);
    static QCache<QString, QImage>& cache();
};
