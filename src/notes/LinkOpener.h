#pragma once

#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

// Opens a link attachment's target with the desktop. A link can come from an imported document
// and point anywhere: web pages, mail and documents open at once, while programs, scripts,
// launcher entries and every other scheme open only after the user agreed, told what they are.
class LinkOpener final
{
public:
    LinkOpener() = delete;

    enum class Decision
    {
        Open,     // opens at once
        AskFirst, // asks, naming the target
        Nothing,  // no target: nothing opens
    };

    static Decision decide(const QUrl& url);
    // What the question names: the file's path, or the URL as text.
    static QString targetName(const QUrl& url);
    // Opens the link by its decision; returns whether it was handed to the desktop.
    static bool open(QWidget* parent, const QUrl& url);

    // Test hook: what hands a URL to the desktop (QDesktopServices::openUrl by default).
    using Opener = std::function<bool(const QUrl&)>;
    static void setOpener(Opener opener);

private:
    static bool isProgram(const QString& path);
};
