#include "platform/DateText.h"

#include <QDateTime>
#include <QLocale>

#include "platform/FileTime.h"
#include "res/LoadString.h"

namespace {

// Drops the parts of a format that are not to be shown (time-zone names), outside quotes.
QString withoutTimeZone(const QString& format) {
    QString r;
    bool quoted = false;
    for (QChar c : format) {
        if (c == u'\'') quoted = !quoted;
        if (!quoted && c == u't') continue;
        r += c;
    }
    return r.trimmed();
}

// Widens a one- or two-letter year to four digits.
QString withFullYear(const QString& format) {
    QString r;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        QChar c = format[i];
        if (c == u'\'') quoted = !quoted;
        if (quoted || c != u'y') {
            r += c;
            ++i;
            continue;
        }
        qsizetype n = 0;
        while (i + n < format.size() && format[i + n] == u'y') ++n;
        r += QStringLiteral("yyyy");
        i += n;
    }
    return r;
}

QString dateFormat() { return withFullYear(QLocale().dateFormat(QLocale::ShortFormat)); }
QString timeFormat() { return withoutTimeZone(QLocale().timeFormat(QLocale::LongFormat)); }

} // namespace

std::string FormatLocalDate(const FILETIME& local) {
    SYSTEMTIME st;
    if (!FileTimeToSystemTime(local, st) || st.wYear > 9999) return LoadString(33112);
    const QDate date(st.wYear, st.wMonth, st.wDay);
    const QTime time(st.wHour, st.wMinute, st.wSecond);
    const QLocale locale;
    QString text = locale.toString(date, dateFormat());
    if (time != QTime(0, 0)) text += u' ' + locale.toString(time, timeFormat());
    return text.toStdString();
}

std::string FormatListDate(const FILETIME& utc) {
    if (utc.isZero()) return std::string();
    FILETIME local;
    if (!FileTimeToLocalFileTime(utc, local)) return LoadString(33112);
    return FormatLocalDate(local);
}
