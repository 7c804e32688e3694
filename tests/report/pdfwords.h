#pragma once
// Words of a PDF with their boxes in millimetres, read back with poppler's pdftotext.
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace pdf {

struct Word {
    int page = 0; // 1-based
    double x = 0, y = 0, x2 = 0, y2 = 0; // mm from the page's top-left corner
    QString text;
};

inline QString run(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Text of the whole file (or one page) in layout mode.
inline QString layoutText(const QString &file, int page = 0)
{
    QStringList a{QStringLiteral("-layout")};
    if (page > 0)
        a << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    return run(a << file << QStringLiteral("-"));
}

inline int pageCount(const QString &file)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {file});
    p.waitForFinished(30000);
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(QString::fromUtf8(p.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

inline QString info(const QString &file)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {file});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline QList<Word> words(const QString &file)
{
    const QString html = run({QStringLiteral("-bbox"), file, QStringLiteral("-")});
    QList<Word> out;
    static const QRegularExpression tag(QStringLiteral(
        "<page [^>]*>|<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    int page = 0;
    const double k = 25.4 / 72.0;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++page;
            continue;
        }
        Word w;
        w.page = page;
        w.x = m.captured(1).toDouble() * k;
        w.y = m.captured(2).toDouble() * k;
        w.x2 = m.captured(3).toDouble() * k;
        w.y2 = m.captured(4).toDouble() * k;
        w.text = m.captured(5).replace(QLatin1String("&amp;"), QLatin1String("&"));
        out << w;
    }
    return out;
}

inline QList<Word> find(const QList<Word> &all, const QString &text)
{
    QList<Word> out;
    for (const Word &w : all)
        if (w.text == text)
            out << w;
    return out;
}

} // namespace pdf
