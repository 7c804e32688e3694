#pragma once
#include <stdexcept>
#include <QString>

// Base of every error the program raises itself; carries a user-readable text.
class TvxError : public std::runtime_error {
public:
    explicit TvxError(const QString &text) : std::runtime_error(text.toStdString()), m_text(text) {}
    QString text() const { return m_text; }
private:
    QString m_text;
};

// A text that does not convert to a number or date; the message names the text.
class EConvertError : public TvxError {
public:
    using TvxError::TvxError;
    static EConvertError notInteger(const QString &s);
    static EConvertError notFloat(const QString &s);
    static EConvertError notDate(const QString &s);
};

// A database statement failed; the text is the driver's message.
class EDatabaseError : public TvxError {
public:
    EDatabaseError(const QString &text, const QString &nativeCode = {})
        : TvxError(text), m_code(nativeCode) {}
    QString nativeCode() const { return m_code; }
private:
    QString m_code;
};

// A silent abort: the handler that raised it has already told the user.
class EAbort : public TvxError {
public:
    EAbort() : TvxError(QStringLiteral("Vorgang abgebrochen")) {}
};

// Strict conversions as the original platform performs them: surrounding blanks
// allowed, anything else raises EConvertError.
int strToInt(const QString &s);
double strToFloat(const QString &s); // locale decimal separator
