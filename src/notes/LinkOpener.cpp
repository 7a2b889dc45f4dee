#include "LinkOpener.h"

#include "widgets/MessageBox.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>

namespace {
LinkOpener::Opener& opener()
{
    static LinkOpener::Opener function = [](const QUrl& url) {
        return QDesktopServices::openUrl(url);
    };
    return function;
}

// File kinds that run something when opened, named by extension as well as by MIME type: a
// file's contents can pass for a document while its launcher goes by its name.
const QStringList& programExtensions()
{
    static const QStringList extensions{
        QStringLiteral("desktop"), QStringLiteral("sh"),  QStringLiteral("bash"),
        QStringLiteral("zsh"),     QStringLiteral("csh"), QStringLiteral("py"),
        QStringLiteral("pl"),      QStringLiteral("rb"),  QStringLiteral("js"),
        QStringLiteral("jar"),     QStringLiteral("exe"), QStringLiteral("bat"),
        QStringLiteral("cmd"),     QStringLiteral("com"), QStringLiteral("msi"),
        QStringLiteral("run"),     QStringLiteral("bin"), QStringLiteral("appimage"),
        QStringLiteral("command"), QStringLiteral("ps1"), QStringLiteral("vbs"),
        QStringLiteral("deb"),     QStringLiteral("rpm"), QStringLiteral("flatpakref"),
    };
    return extensions;
}
} // namespace

LinkOpener::Decision LinkOpener::decide(const QUrl& url)
{
    if (!url.isValid() || url.isEmpty() || url.scheme().isEmpty())
        return Decision::Nothing;
    const QString scheme = url.scheme().toLower();
    static const QStringList direct{QStringLiteral("http"), QStringLiteral("https"),
                                    QStringLiteral("ftp"), QStringLiteral("mailto"),
                                    QStringLiteral("message")};
    if (direct.contains(scheme))
        return Decision::Open;
    if (scheme != u"file" || !url.host().isEmpty())
        return Decision::AskFirst;
    return isProgram(url.toLocalFile()) ? Decision::AskFirst : Decision::Open;
}

bool LinkOpener::isProgram(const QString& path)
{
    const QFileInfo file(path);
    // What a link names is what opens: a symbolic link is judged by its name and its target.
    const QFileInfo target(file.isSymLink() ? file.symLinkTarget() : path);
    for (const QFileInfo& info : {file, target}) {
        if (programExtensions().contains(info.suffix().toLower()))
            return true;
        if (info.isFile() && info.isExecutable())
            return true;
        const QMimeType type = QMimeDatabase().mimeTypeForFile(info);
        for (const char* kind :
             {"application/x-executable", "application/x-sharedlib", "application/x-desktop",
              "application/x-shellscript", "application/x-ms-dos-executable"}) {
            if (type.inherits(QString::fromLatin1(kind)))
                return true;
        }
    }
    return false;
}

QString LinkOpener::targetName(const QUrl& url)
{
    return url.isLocalFile() ? url.toLocalFile() : url.toDisplayString();
}

bool LinkOpener::open(QWidget* parent, const QUrl& url)
{
    switch (decide(url)) {
    case Decision::Nothing:
        return false;
    case Decision::AskFirst: {
        const int answer = MessageBox::question(
            parent, QObject::tr("Open “%1”?").arg(targetName(url)),
            QObject::tr("This link opens a program, a script or a link of another kind. Open it "
                        "only if you trust where the card came from."),
            {QObject::tr("Open"), QObject::tr("Cancel")});
        if (answer != 0)
            return false;
        break;
    }
    case Decision::Open:
        break;
    }
    return opener()(url);
}

void LinkOpener::setOpener(Opener function)
{
    opener() = std::move(function);
}
