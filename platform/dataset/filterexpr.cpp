#include "platform/dataset/filterexpr.h"
#include "platform/core/errors.h"

#include <QCollator>
#include <QDateTime>
#include <QLocale>
#include <cmath>
#include <optional>

namespace {

enum class Tok { End, Ident, String, Number, Date, Op, LParen, RParen };

struct Token {
    Tok kind = Tok::End;
    QString text;   // identifier / string content / operator
    QVariant value; // numbers and dates
    int pos = 0;
};

QDateTime parseDateText(const QString &s)
{
    const QString t = s.trimmed();
    static const char *const formats[] = {"dd.MM.yyyy HH:mm:ss", "dd.MM.yyyy HH:mm", "dd.MM.yyyy",
                                          "d.M.yyyy", "yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd",
                                          "MM/dd/yyyy HH:mm:ss", "MM/dd/yyyy", "M/d/yyyy"};
    for (const char *f : formats) {
        const QDateTime dt = QDateTime::fromString(t, QString::fromLatin1(f));
        if (dt.isValid())
            return dt;
    }
    return {};
}

[[noreturn]] void fail(const QString &text, int pos, const QString &what)
{
    throw TvxError(QStringLiteral("Ungültiger Filter \"%1\": %2 an Position %3").arg(text, what).arg(pos + 1));
}

class Lexer {
public:
    explicit Lexer(const QString &s) : m_s(s) {}

    Token next()
    {
        while (m_i < m_s.size() && m_s[m_i].isSpace())
            ++m_i;
        Token t;
        t.pos = m_i;
        if (m_i >= m_s.size())
            return t;
        const QChar c = m_s[m_i];
        if (c == QLatin1Char('(')) {
            ++m_i;
            t.kind = Tok::LParen;
        } else if (c == QLatin1Char(')')) {
            ++m_i;
            t.kind = Tok::RParen;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // string literal, the quote doubled inside
            const QChar q = c;
            ++m_i;
            QString v;
            for (;;) {
                if (m_i >= m_s.size())
                    fail(m_s, t.pos, QStringLiteral("Zeichenkette ohne schließendes Anführungszeichen"));
                if (m_s[m_i] == q) {
                    if (m_i + 1 < m_s.size() && m_s[m_i + 1] == q) {
                        v += q;
                        m_i += 2;
                        continue;
                    }
                    ++m_i;
                    break;
                }
                v += m_s[m_i++];
            }
            t.kind = Tok::String;
            t.text = v;
        } else if (c == QLatin1Char('#')) {
            const int end = m_s.indexOf(QLatin1Char('#'), m_i + 1);
            if (end < 0)
                fail(m_s, t.pos, QStringLiteral("Datum ohne schließendes #"));
            const QDateTime dt = parseDateText(m_s.mid(m_i + 1, end - m_i - 1));
            if (!dt.isValid())
                fail(m_s, t.pos, QStringLiteral("ungültiges Datum"));
            m_i = end + 1;
            t.kind = Tok::Date;
            t.value = dt;
        } else if (c == QLatin1Char('[')) {
            const int end = m_s.indexOf(QLatin1Char(']'), m_i + 1);
            if (end < 0)
                fail(m_s, t.pos, QStringLiteral("Feldname ohne schließende Klammer"));
            t.kind = Tok::Ident;
            t.text = m_s.mid(m_i + 1, end - m_i - 1).trimmed();
            t.value = true; // bracketed: never a keyword
            m_i = end + 1;
        } else if (c.isDigit() || (c == QLatin1Char('.') && m_i + 1 < m_s.size() && m_s[m_i + 1].isDigit())) {
            int k = m_i;
            while (k < m_s.size() && m_s[k].isDigit())
                ++k;
            if (k < m_s.size() && m_s[k] == QLatin1Char('.')) {
                ++k;
                while (k < m_s.size() && m_s[k].isDigit())
                    ++k;
            }
            if (k < m_s.size() && (m_s[k] == QLatin1Char('e') || m_s[k] == QLatin1Char('E'))) {
                int e = k + 1;
                if (e < m_s.size() && (m_s[e] == QLatin1Char('+') || m_s[e] == QLatin1Char('-')))
                    ++e;
                if (e < m_s.size() && m_s[e].isDigit()) {
                    k = e;
                    while (k < m_s.size() && m_s[k].isDigit())
                        ++k;
                }
            }
            if (k < m_s.size() && (m_s[k].isLetter() || m_s[k] == QLatin1Char('_')))
                fail(m_s, t.pos, QStringLiteral("ungültige Zahl"));
            const QString num = m_s.mid(m_i, k - m_i);
            bool ok = false;
            const qlonglong iv = num.toLongLong(&ok);
            t.value = ok ? QVariant(iv) : QVariant(num.toDouble());
            t.kind = Tok::Number;
            m_i = k;
        } else if (c.isLetter() || c == QLatin1Char('_')) {
            int k = m_i;
            while (k < m_s.size() && (m_s[k].isLetterOrNumber() || m_s[k] == QLatin1Char('_')))
                ++k;
            t.kind = Tok::Ident;
            t.text = m_s.mid(m_i, k - m_i);
            m_i = k;
        } else {
            static const char *const ops[] = {"<>", "<=", ">=", "!=", "==", "=", "<", ">"};
            for (const char *op : ops) {
                const QLatin1String o(op);
                if (QStringView(m_s).mid(m_i).startsWith(o)) {
                    t.kind = Tok::Op;
                    t.text = o;
                    m_i += o.size();
                    return t;
                }
            }
            if (c == QLatin1Char('-') || c == QLatin1Char('+')) {
                t.kind = Tok::Op;
                t.text = c;
                ++m_i;
                return t;
            }
            fail(m_s, t.pos, QStringLiteral("unerwartetes Zeichen '%1'").arg(c));
        }
        return t;
    }

private:
    const QString &m_s;
    int m_i = 0;
};

bool isKeyword(const Token &t, const char *kw)
{
    return t.kind == Tok::Ident && !t.value.isValid() && t.text.compare(QLatin1String(kw), Qt::CaseInsensitive) == 0;
}

class Parser {
public:
    explicit Parser(const QString &s) : m_text(s), m_lex(s) { advance(); }

    std::shared_ptr<FilterNode> parseAll()
    {
        auto n = parseOr();
        if (m_tok.kind != Tok::End)
            fail(m_text, m_tok.pos, QStringLiteral("unerwartetes \"%1\"").arg(tokenText()));
        return n;
    }

private:
    void advance() { m_tok = m_lex.next(); }

    QString tokenText() const
    {
        switch (m_tok.kind) {
        case Tok::String: return QLatin1Char('\'') + m_tok.text + QLatin1Char('\'');
        case Tok::Number: case Tok::Date: return m_tok.value.toString();
        case Tok::LParen: return QStringLiteral("(");
        case Tok::RParen: return QStringLiteral(")");
        case Tok::End: return QString();
        default: return m_tok.text;
        }
    }

    static std::shared_ptr<FilterNode> make(FilterNode::Kind k)
    {
        auto n = std::make_shared<FilterNode>();
        n->kind = k;
        return n;
    }

    std::shared_ptr<FilterNode> parseOr()
    {
        auto left = parseAnd();
        while (isKeyword(m_tok, "or")) {
            advance();
            auto n = make(FilterNode::Or);
            n->children = {left, parseAnd()};
            left = n;
        }
        return left;
    }

    std::shared_ptr<FilterNode> parseAnd()
    {
        auto left = parseNot();
        while (isKeyword(m_tok, "and")) {
            advance();
            auto n = make(FilterNode::And);
            n->children = {left, parseNot()};
            left = n;
        }
        return left;
    }

    std::shared_ptr<FilterNode> parseNot()
    {
        if (isKeyword(m_tok, "not")) {
            advance();
            auto n = make(FilterNode::Not);
            n->children = {parseNot()};
            return n;
        }
        return parsePrimary();
    }

    std::shared_ptr<FilterNode> parsePrimary()
    {
        if (m_tok.kind == Tok::LParen) {
            const int pos = m_tok.pos;
            advance();
            auto n = parseOr();
            if (m_tok.kind != Tok::RParen)
                fail(m_text, m_tok.kind == Tok::End ? pos : m_tok.pos, QStringLiteral("fehlende schließende Klammer"));
            advance();
            return n;
        }
        auto left = parseOperand();
        if (isKeyword(m_tok, "is")) {
            advance();
            auto n = make(FilterNode::IsNull);
            if (isKeyword(m_tok, "not")) {
                n->negate = true;
                advance();
            }
            if (!isKeyword(m_tok, "null"))
                fail(m_text, m_tok.pos, QStringLiteral("NULL erwartet"));
            advance();
            n->children = {left};
            return n;
        }
        bool notLike = false;
        if (isKeyword(m_tok, "not")) {
            notLike = true;
            advance();
            if (!isKeyword(m_tok, "like"))
                fail(m_text, m_tok.pos, QStringLiteral("LIKE erwartet"));
        }
        if (isKeyword(m_tok, "like")) {
            advance();
            auto n = make(FilterNode::Like);
            n->children = {left, parseOperand()};
            if (notLike) {
                auto neg = make(FilterNode::Not);
                neg->children = {n};
                return neg;
            }
            return n;
        }
        if (m_tok.kind != Tok::Op || m_tok.text == QLatin1String("-") || m_tok.text == QLatin1String("+"))
            fail(m_text, m_tok.pos, m_tok.kind == Tok::End ? QStringLiteral("Vergleich unvollständig")
                                                           : QStringLiteral("Vergleichsoperator erwartet statt \"%1\"").arg(tokenText()));
        auto n = make(FilterNode::Compare);
        const QString op = m_tok.text;
        if (op == QLatin1String("=") || op == QLatin1String("=="))
            n->op = FilterNode::Eq;
        else if (op == QLatin1String("<>") || op == QLatin1String("!="))
            n->op = FilterNode::Ne;
        else if (op == QLatin1String("<"))
            n->op = FilterNode::Lt;
        else if (op == QLatin1String(">"))
            n->op = FilterNode::Gt;
        else if (op == QLatin1String("<="))
            n->op = FilterNode::Le;
        else
            n->op = FilterNode::Ge;
        advance();
        n->children = {left, parseOperand()};
        return n;
    }

    std::shared_ptr<FilterNode> parseOperand()
    {
        auto n = make(FilterNode::Literal);
        if (m_tok.kind == Tok::Op && (m_tok.text == QLatin1String("-") || m_tok.text == QLatin1String("+"))) {
            const bool minus = m_tok.text == QLatin1String("-");
            advance();
            if (m_tok.kind != Tok::Number)
                fail(m_text, m_tok.pos, QStringLiteral("Zahl erwartet"));
            const QVariant v = m_tok.value;
            n->literal = !minus ? v
                : v.metaType().id() == QMetaType::LongLong ? QVariant(-v.toLongLong()) : QVariant(-v.toDouble());
            advance();
            return n;
        }
        switch (m_tok.kind) {
        case Tok::String:
            n->literal = m_tok.text;
            break;
        case Tok::Number:
        case Tok::Date:
            n->literal = m_tok.value;
            break;
        case Tok::Ident:
            if (isKeyword(m_tok, "null")) {
                n->literal = QVariant();
                break;
            }
            if (isKeyword(m_tok, "and") || isKeyword(m_tok, "or") || isKeyword(m_tok, "not")
                || isKeyword(m_tok, "like") || isKeyword(m_tok, "is"))
                fail(m_text, m_tok.pos, QStringLiteral("Feldname oder Wert erwartet statt \"%1\"").arg(m_tok.text));
            n->kind = FilterNode::FieldRef;
            n->fieldName = m_tok.text;
            break;
        case Tok::End:
            fail(m_text, m_tok.pos, QStringLiteral("Feldname oder Wert fehlt"));
        default:
            fail(m_text, m_tok.pos, QStringLiteral("Feldname oder Wert erwartet statt \"%1\"").arg(tokenText()));
        }
        advance();
        return n;
    }

    const QString &m_text;
    Lexer m_lex;
    Token m_tok;
};

bool isNumeric(const QVariant &v)
{
    switch (v.metaType().id()) {
    case QMetaType::Int: case QMetaType::LongLong: case QMetaType::Double: case QMetaType::Float:
    case QMetaType::UInt: case QMetaType::ULongLong: case QMetaType::Short: case QMetaType::UShort:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

bool isDate(const QVariant &v)
{
    return v.metaType().id() == QMetaType::QDateTime || v.metaType().id() == QMetaType::QDate;
}

std::optional<double> numberOf(const QVariant &v)
{
    if (isNumeric(v))
        return v.toDouble();
    const QString s = v.toString().trimmed();
    bool ok = false;
    double d = s.toDouble(&ok);
    if (!ok)
        d = QLocale().toDouble(s, &ok);
    if (!ok)
        return std::nullopt;
    return d;
}

const QCollator &textCollator()
{
    static thread_local QCollator collator;
    static thread_local QString name;
    const QString current = QLocale().name();
    if (name != current || name.isEmpty()) {
        collator = QCollator(QLocale());
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        name = current;
    }
    return collator;
}

// <0, 0, >0; nullopt when either side is NULL or they cannot be compared
std::optional<int> compareValues(const QVariant &a, const QVariant &b, bool equalityOnly)
{
    if (a.isNull() || b.isNull() || !a.isValid() || !b.isValid())
        return std::nullopt;
    if (isNumeric(a) || isNumeric(b)) {
        const auto x = numberOf(a), y = numberOf(b);
        if (x && y)
            return *x < *y ? -1 : (*x > *y ? 1 : 0);
    }
    if (isDate(a) || isDate(b)) {
        const QDateTime x = isDate(a) ? a.toDateTime() : parseDateText(a.toString());
        const QDateTime y = isDate(b) ? b.toDateTime() : parseDateText(b.toString());
        if (x.isValid() && y.isValid())
            return x < y ? -1 : (x > y ? 1 : 0);
        return std::nullopt;
    }
    const QString x = a.toString(), y = b.toString();
    if (equalityOnly)
        return x.toCaseFolded() == y.toCaseFolded() ? 0 : 1;
    return textCollator().compare(x, y);
}

// Filters run over every cached row on each keystroke of a search field, so
// values are looked at in place: no QVariant or QString copies per row.
template <class Row>
const QVariant &operandValue(const FilterNode &n, const Row &row)
{
    if (n.kind == FilterNode::FieldRef)
        return row(n.fieldIndex);
    return n.literal;
}

const QString *stringIn(const QVariant &v)
{
    return v.metaType().id() == QMetaType::QString ? static_cast<const QString *>(v.constData()) : nullptr;
}

// text starts with an already case-folded prefix; ASCII without the Unicode tables
bool startsWithFolded(const QString &text, const QString &prefix)
{
    if (text.size() < prefix.size())
        return false;
    const QChar *t = text.constData();
    const QChar *p = prefix.constData();
    for (qsizetype i = 0, n = prefix.size(); i < n; ++i) {
        const char16_t c = t[i].unicode();
        if (c < 128) {
            const char16_t f = c >= 'A' && c <= 'Z' ? char16_t(c + 32) : c;
            if (f != p[i].unicode())
                return false;
        } else if (t[i].toCaseFolded() != p[i]) {
            return false;
        }
    }
    return true;
}

bool isIntegral(const QVariant &v)
{
    const int id = v.metaType().id();
    return id == QMetaType::Int || id == QMetaType::LongLong;
}

qlonglong integralOf(const QVariant &v)
{
    return v.metaType().id() == QMetaType::Int ? *static_cast<const int *>(v.constData())
                                               : *static_cast<const qlonglong *>(v.constData());
}

const FilterNode::LikePattern *preparedLike(const FilterNode &node)
{
    if (!node.likePattern) {
        const QVariant &lit = node.children[1]->literal;
        if (lit.isNull() || !lit.isValid())
            return nullptr;
        auto lp = std::make_shared<FilterNode::LikePattern>();
        lp->folded = lit.toString().toCaseFolded();
        const qsizetype star = lp->folded.indexOf(QLatin1Char('%'));
        lp->prefixOnly = star == lp->folded.size() - 1 && !lp->folded.contains(QLatin1Char('_'));
        if (lp->prefixOnly)
            lp->prefix = lp->folded.left(star);
        node.likePattern = lp;
    }
    return node.likePattern.get();
}

template <class Row>
bool evaluate(const FilterNode &node, const Row &row)
{
    switch (node.kind) {
    case FilterNode::And:
        return evaluate(*node.children[0], row) && evaluate(*node.children[1], row);
    case FilterNode::Or:
        return evaluate(*node.children[0], row) || evaluate(*node.children[1], row);
    case FilterNode::Not:
        return !evaluate(*node.children[0], row);
    case FilterNode::IsNull: {
        const QVariant &v = operandValue(*node.children[0], row);
        return (v.isNull() || !v.isValid()) != node.negate;
    }
    case FilterNode::Like: {
        const QVariant &v = operandValue(*node.children[0], row);
        if (node.children[1]->kind == FilterNode::Literal) {
            const FilterNode::LikePattern *lp = preparedLike(node);
            if (!lp)
                return false;
            if (const QString *text = stringIn(v)) {
                if (text->isNull())
                    return false;
                return lp->prefixOnly ? startsWithFolded(*text, lp->prefix)
                                      : likeMatchesFolded(text->toCaseFolded(), lp->folded);
            }
            if (v.isNull() || !v.isValid())
                return false;
            const QString t = v.toString();
            return lp->prefixOnly ? startsWithFolded(t, lp->prefix) : likeMatchesFolded(t.toCaseFolded(), lp->folded);
        }
        const QVariant &p = operandValue(*node.children[1], row);
        if (v.isNull() || p.isNull() || !v.isValid() || !p.isValid())
            return false;
        return likeMatches(v.toString(), p.toString());
    }
    case FilterNode::Compare: {
        const QVariant &a = operandValue(*node.children[0], row);
        const QVariant &b = operandValue(*node.children[1], row);
        int c = 0;
        if (isIntegral(a) && isIntegral(b) && !a.isNull() && !b.isNull()) {
            const qlonglong x = integralOf(a), y = integralOf(b);
            c = x < y ? -1 : (x > y ? 1 : 0);
        } else {
            const auto r = compareValues(a, b, node.op == FilterNode::Eq || node.op == FilterNode::Ne);
            if (!r)
                return false;
            c = *r;
        }
        switch (node.op) {
        case FilterNode::Eq: return c == 0;
        case FilterNode::Ne: return c != 0;
        case FilterNode::Lt: return c < 0;
        case FilterNode::Gt: return c > 0;
        case FilterNode::Le: return c <= 0;
        case FilterNode::Ge: return c >= 0;
        }
        return false;
    }
    case FilterNode::Literal:
    case FilterNode::FieldRef: {
        // a bare operand: true when it is a non-zero number
        const auto d = numberOf(operandValue(node, row));
        return d && *d != 0;
    }
    }
    return false;
}

} // namespace

std::shared_ptr<FilterNode> parseFilter(const QString &text)
{
    if (text.trimmed().isEmpty())
        return nullptr;
    Parser p(text);
    return p.parseAll();
}

void resolveFilterFields(FilterNode &node, const std::function<int(const QString &)> &lookup)
{
    if (node.kind == FilterNode::FieldRef) {
        node.fieldIndex = lookup(node.fieldName);
        if (node.fieldIndex < 0)
            throw TvxError(QStringLiteral("Filter: Feld '%1' nicht gefunden").arg(node.fieldName));
    }
    for (auto &c : node.children)
        resolveFilterFields(*c, lookup);
}

bool evaluateFilter(const FilterNode &node, const QVector<QVariant> &row)
{
    return evaluate(node, [&row](int f) -> const QVariant & { return row.at(f); });
}

bool likeMatches(const QString &text, const QString &pattern)
{
    return likeMatchesFolded(text.toCaseFolded(), pattern.toCaseFolded());
}

bool likeMatchesFolded(const QString &s, const QString &p)
{
    // greedy wildcard match with backtracking to the last '%'
    int si = 0, pi = 0, starP = -1, starS = 0;
    while (si < s.size()) {
        if (pi < p.size() && (p[pi] == QLatin1Char('_') || (p[pi] != QLatin1Char('%') && p[pi] == s[si]))) {
            ++si;
            ++pi;
        } else if (pi < p.size() && p[pi] == QLatin1Char('%')) {
            starP = pi++;
            starS = si;
        } else if (starP >= 0) {
            pi = starP + 1;
            si = ++starS;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == QLatin1Char('%'))
        ++pi;
    return pi == p.size();
}
