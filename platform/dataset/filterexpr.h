#pragma once
#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>
#include <vector>

// Filter texts of the form "(Kundengruppe = 3) and (Suchbegriff like 'Mü%')":
// comparisons = <> < > <= >=, like (% any run, _ one character, ignoring case
// for every letter), is [not] null, and/or/not, parentheses, string literals in
// single quotes with doubled inner quotes, numbers, #dates#, field names (plain
// or in [brackets]). A comparison with a NULL value is false.
struct FilterNode {
    enum Kind { And, Or, Not, Compare, Like, IsNull, Literal, FieldRef };
    enum Op { Eq, Ne, Lt, Gt, Le, Ge };
    Kind kind = Literal;
    Op op = Eq;
    bool negate = false;               // "is not null"
    QVariant literal;
    QString fieldName;                 // as written
    int fieldIndex = -1;               // resolved against a dataset
    std::vector<std::shared_ptr<FilterNode>> children;

    // A LIKE against a fixed pattern is prepared once per filter, not per row.
    struct LikePattern {
        QString folded;   // the pattern, case-folded
        bool prefixOnly;  // "abc%": a plain starts-with
        QString prefix;
    };
    mutable std::shared_ptr<const LikePattern> likePattern;
};

// Parses the text; TvxError with a message naming the fault and its position.
std::shared_ptr<FilterNode> parseFilter(const QString &text);

// Resolves field names through lookup (returns -1 for unknown); TvxError names
// the first unknown field.
void resolveFilterFields(FilterNode &node, const std::function<int(const QString &)> &lookup);

// Evaluates a resolved tree on one row of values, looked at in place.
bool evaluateFilter(const FilterNode &node, const QVector<QVariant> &row);

// LIKE match ignoring case for all letters; % and _ wildcards.
bool likeMatches(const QString &text, const QString &pattern);
// The same on texts already case-folded.
bool likeMatchesFolded(const QString &foldedText, const QString &foldedPattern);
