#include "reports/formula.h"

#include "platform/db/condition.h"
#include "platform/db/db_error.h"
#include "platform/db/table_info.h"
#include "platform/decimal.h"

#include <QDate>

namespace tawela::reports {

using platform::db::ColumnInfo;
using platform::db::ColumnKind;

FormulaError::FormulaError(int position, const QString& message)
    : Error(QStringLiteral("สูตรไม่ถูกต้องที่ตำแหน่ง ") + QString::number(position) +
            QStringLiteral(": ") + message),
      m_position(position), m_message(message)
{}

struct Formula::Node {
    enum class Kind {
        Field,
        Text,
        Number,
        Bool,
        Date,
        Compare,
        Like,
        Between,
        And,
        Or,
        Not,
        Arith
    };
    Kind kind;
    int position = 0;
    QString table, column, text, op;
    QDate date;
    bool flag = false;
    std::shared_ptr<const Node> a, b, c;
};

namespace {

using Node = Formula::Node;
using NodePtr = std::shared_ptr<const Node>;

struct Token {
    enum class Type { End, Field, Text, Number, Word, Op, Arith, LParen, RParen, Comma };
    Type type;
    QString text;
    int position; // 1-based
};

QList<Token> tokenize(const QString& s)
{
    QList<Token> tokens;
    int i = 0;
    const int n = int(s.size());
    while (i < n) {
        const QChar ch = s[i];
        const int pos = i + 1;
        if (ch.isSpace()) {
            ++i;
        } else if (ch == u'{') {
            const int close = int(s.indexOf(u'}', i));
            if (close < 0)
                throw FormulaError(pos, QStringLiteral("ไม่พบ } ปิดชื่อช่องข้อมูล"));
            tokens << Token{Token::Type::Field, s.mid(i + 1, close - i - 1).trimmed(), pos};
            i = close + 1;
        } else if (ch == u'\'' || ch == u'"') {
            // Text; the quote written twice stands for itself.
            QString text;
            int j = i + 1;
            for (;;) {
                if (j >= n)
                    throw FormulaError(pos, QStringLiteral("ข้อความไม่มีเครื่องหมายปิด"));
                if (s[j] == ch) {
                    if (j + 1 < n && s[j + 1] == ch) {
                        text += ch;
                        j += 2;
                        continue;
                    }
                    break;
                }
                text += s[j++];
            }
            tokens << Token{Token::Type::Text, text, pos};
            i = j + 1;
        } else if (ch.isDigit() || (ch == u'-' && i + 1 < n && s[i + 1].isDigit() &&
                                    (tokens.isEmpty() || tokens.last().type == Token::Type::Op ||
                                     tokens.last().type == Token::Type::LParen ||
                                     tokens.last().type == Token::Type::Comma ||
                                     tokens.last().type == Token::Type::Word))) {
            int j = i + 1;
            while (j < n && (s[j].isDigit() || s[j] == u'.'))
                ++j;
            tokens << Token{Token::Type::Number, s.mid(i, j - i), pos};
            i = j;
        } else if (ch.isLetter() || ch == u'_') {
            int j = i + 1;
            while (j < n && (s[j].isLetterOrNumber() || s[j] == u'_'))
                ++j;
            tokens << Token{Token::Type::Word, s.mid(i, j - i), pos};
            i = j;
        } else if (ch == u'(') {
            tokens << Token{Token::Type::LParen, QStringLiteral("("), pos};
            ++i;
        } else if (ch == u')') {
            tokens << Token{Token::Type::RParen, QStringLiteral(")"), pos};
            ++i;
        } else if (ch == u',') {
            tokens << Token{Token::Type::Comma, QStringLiteral(","), pos};
            ++i;
        } else if (ch == u'*' || ch == u'/') {
            tokens << Token{Token::Type::Arith, QString(ch), pos};
            ++i;
        } else if (ch == u'<' || ch == u'>' || ch == u'=') {
            QString op(ch);
            if (i + 1 < n && (s[i + 1] == u'=' || (ch == u'<' && s[i + 1] == u'>')))
                op += s[++i];
            tokens << Token{Token::Type::Op, op, pos};
            ++i;
        } else {
            throw FormulaError(pos, QStringLiteral("ไม่รู้จักเครื่องหมาย \"") + QString(ch) + u'"');
        }
    }
    tokens << Token{Token::Type::End, QString(), n + 1};
    return tokens;
}

class Parser {
public:
    // Far beyond what a shop writes, well within what the stack and the
    // database take: deeper nesting or longer chains are refused here, in
    // Thai, with the place they go too far.
    static constexpr int MaxDepth = 64;
    static constexpr int MaxConditions = 256;

    explicit Parser(QList<Token> tokens) : m_t(std::move(tokens)) {}

    NodePtr parseAll()
    {
        NodePtr root = orExpr();
        if (peek().type != Token::Type::End)
            throw FormulaError(peek().position,
                               QStringLiteral("มีข้อความเกินมา \"") + peek().text + u'"');
        return root;
    }

private:
    const Token& peek() const { return m_t[m_i]; }
    Token take() { return m_t[m_i++]; }
    bool isWord(const char* w) const
    {
        return peek().type == Token::Type::Word &&
               peek().text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0;
    }
    void expect(Token::Type type, const QString& what)
    {
        if (peek().type != type)
            throw FormulaError(peek().position, QStringLiteral("ต้องมี ") + what);
        ++m_i;
    }

    NodePtr binary(Node::Kind kind, int pos, NodePtr a, NodePtr b, const QString& op = {})
    {
        if (++m_conditions > MaxConditions)
            throw FormulaError(pos, QStringLiteral("สูตรยาวเกินไป มีเงื่อนไขได้ไม่เกิน ") +
                                        QString::number(MaxConditions) + QStringLiteral(" เงื่อนไข"));
        auto n = std::make_shared<Node>();
        n->kind = kind;
        n->position = pos;
        n->a = std::move(a);
        n->b = std::move(b);
        n->op = op;
        return n;
    }

    NodePtr orExpr()
    {
        NodePtr left = andExpr();
        while (isWord("or")) {
            const int pos = take().position;
            left = binary(Node::Kind::Or, pos, left, andExpr());
        }
        return left;
    }

    NodePtr andExpr()
    {
        NodePtr left = notExpr();
        while (isWord("and")) {
            const int pos = take().position;
            left = binary(Node::Kind::And, pos, left, notExpr());
        }
        return left;
    }

    // Counts one level of nesting for the scope of a not or a parenthesis.
    struct Deeper {
        Deeper(int& depth, int position) : m_depth(depth)
        {
            if (++m_depth > MaxDepth)
                throw FormulaError(position, QStringLiteral("สูตรซ้อนวงเล็บหรือ not ลึกเกินไป (เกิน ") +
                                                 QString::number(MaxDepth) +
                                                 QStringLiteral(" ชั้น)"));
        }
        ~Deeper() { --m_depth; }
        int& m_depth;
    };

    NodePtr notExpr()
    {
        if (isWord("not")) {
            const int pos = take().position;
            const Deeper deeper(m_depth, pos);
            NodePtr inner = notExpr();
            return binary(Node::Kind::Not, pos, inner, nullptr);
        }
        return comparison();
    }

    NodePtr comparison()
    {
        if (peek().type == Token::Type::LParen) {
            // A parenthesised condition.
            const Deeper deeper(m_depth, take().position);
            NodePtr inner = orExpr();
            expect(Token::Type::RParen, QStringLiteral(")"));
            return inner;
        }
        NodePtr left = product();
        const Token& t = peek();
        if (t.type == Token::Type::Op) {
            take();
            return binary(Node::Kind::Compare, t.position, left, product(), t.text);
        }
        if (isWord("like")) {
            const int pos = take().position;
            NodePtr pattern = operand();
            if (pattern->kind != Node::Kind::Text)
                throw FormulaError(pattern->position, QStringLiteral("like ต้องตามด้วยข้อความ"));
            return binary(Node::Kind::Like, pos, left, pattern);
        }
        if (isWord("in")) {
            const int pos = take().position;
            NodePtr low = operand();
            if (!isWord("to"))
                throw FormulaError(peek().position, QStringLiteral("ต้องมี to"));
            take();
            auto n = std::make_shared<Node>();
            n->kind = Node::Kind::Between;
            n->position = pos;
            n->a = left;
            n->b = low;
            n->c = operand();
            return n;
        }
        // A field or true/false alone is a condition of its own.
        if (left->kind == Node::Kind::Field || left->kind == Node::Kind::Bool) {
            auto t2 = std::make_shared<Node>();
            t2->kind = Node::Kind::Bool;
            t2->flag = true;
            t2->position = left->position;
            return left->kind == Node::Kind::Bool
                       ? left
                       : binary(Node::Kind::Compare, left->position, left, t2, QStringLiteral("="));
        }
        throw FormulaError(t.position, QStringLiteral("ต้องมีเครื่องหมายเปรียบเทียบ"));
    }

    // Numbers and number fields multiplied and divided, left to right:
    // {chumnum.Interest_rate} * 36500 / ({chumnum.amount3} * {chumnum.total_day}).
    NodePtr product()
    {
        NodePtr left = factor();
        while (peek().type == Token::Type::Arith) {
            const Token op = take();
            left = binary(Node::Kind::Arith, op.position, left, factor(), op.text);
        }
        return left;
    }

    NodePtr factor()
    {
        if (peek().type != Token::Type::LParen)
            return operand();
        const Deeper deeper(m_depth, take().position);
        NodePtr inner = product();
        expect(Token::Type::RParen, QStringLiteral(")"));
        return inner;
    }

    int number()
    {
        if (peek().type != Token::Type::Number)
            throw FormulaError(peek().position, QStringLiteral("ต้องเป็นตัวเลข"));
        return take().text.toInt();
    }

    NodePtr operand()
    {
        const Token t = peek();
        auto n = std::make_shared<Node>();
        n->position = t.position;
        switch (t.type) {
        case Token::Type::Field: {
            take();
            const qsizetype dot = t.text.indexOf(u'.');
            if (dot <= 0 || dot == t.text.size() - 1)
                throw FormulaError(t.position, QStringLiteral("ชื่อช่องข้อมูลต้องเป็น {ตาราง.ช่อง}"));
            n->kind = Node::Kind::Field;
            n->table = t.text.left(dot).trimmed();
            n->column = t.text.mid(dot + 1).trimmed();
            return n;
        }
        case Token::Type::Text:
            take();
            n->kind = Node::Kind::Text;
            n->text = t.text;
            return n;
        case Token::Type::Number:
            take();
            n->kind = Node::Kind::Number;
            n->text = t.text;
            return n;
        case Token::Type::Word: {
            if (isWord("true") || isWord("false")) {
                n->kind = Node::Kind::Bool;
                n->flag = isWord("true");
                take();
                return n;
            }
            if (isWord("date") || isWord("datevalue") || isWord("datetime")) {
                take();
                expect(Token::Type::LParen, QStringLiteral("("));
                if (peek().type == Token::Type::Field) {
                    // DateValue({table.date}) is the date the column holds.
                    NodePtr field = operand();
                    expect(Token::Type::RParen, QStringLiteral(")"));
                    return field;
                }
                const int pos = peek().position;
                const int y = number();
                expect(Token::Type::Comma, QStringLiteral(","));
                const int m = number();
                expect(Token::Type::Comma, QStringLiteral(","));
                const int d = number();
                expect(Token::Type::RParen, QStringLiteral(")"));
                n->kind = Node::Kind::Date;
                n->date = QDate(y, m, d);
                if (!n->date.isValid())
                    throw FormulaError(pos, QStringLiteral("วันที่ไม่ถูกต้อง"));
                return n;
            }
            throw FormulaError(t.position, QStringLiteral("ไม่รู้จักคำว่า \"") + t.text + u'"');
        }
        case Token::Type::End:
            throw FormulaError(t.position, QStringLiteral("สูตรจบก่อนครบ"));
        default:
            throw FormulaError(t.position, QStringLiteral("ไม่คาดว่าจะพบ \"") + t.text + u'"');
        }
    }

    QList<Token> m_t;
    int m_i = 0;
    int m_depth = 0;
    int m_conditions = 0;
};

QVariant literalValue(const Node& n)
{
    switch (n.kind) {
    case Node::Kind::Text:
        return n.text;
    case Node::Kind::Number:
        return n.text;
    case Node::Kind::Bool:
        return n.flag;
    case Node::Kind::Date:
        return n.date;
    default:
        return {};
    }
}

// The value of a literal in the stored form of the column it is compared with.
QVariant bindFor(const Node& literal, int kind)
{
    ColumnInfo column;
    column.name = QStringLiteral("?");
    column.kind = ColumnKind(kind);
    QVariant v = literalValue(literal);
    if (literal.kind == Node::Kind::Number && column.kind == ColumnKind::Text)
        return v;
    try {
        return platform::db::toStorage(column, v);
    } catch (const platform::db::DbError&) {
        throw FormulaError(literal.position, QStringLiteral("ค่า \"") + v.toString() +
                                                 QStringLiteral("\" ใช้เปรียบเทียบกับช่องนี้ไม่ได้"));
    }
}

struct Compiler {
    const Formula::Resolver& resolve;
    QString& sql;
    QVariantList& binds;
    const platform::db::Dialect& dialect;

    Formula::Field field(const Node& n)
    {
        try {
            return resolve(n.table, n.column);
        } catch (const FormulaError& e) {
            throw FormulaError(n.position, e.message());
        }
    }

    // An operand: a field's SQL, or a bound literal in the other side's kind.
    void operand(const Node& n, int otherKind)
    {
        if (n.kind == Node::Kind::Arith) {
            arith(n);
            return;
        }
        if (n.kind == Node::Kind::Field) {
            const Formula::Field f = field(n);
            if (otherKind == Numeric && f.kind != int(ColumnKind::Integer) &&
                f.kind != int(ColumnKind::Decimal))
                throw FormulaError(n.position, QStringLiteral("ช่องนี้ไม่ใช่ตัวเลข ใช้คำนวณไม่ได้"));
            // Money is stored in ten-thousandths: a calculation counts baht.
            sql += f.kind == int(ColumnKind::Decimal) && otherKind == Numeric
                       ? u'(' + f.sql + QStringLiteral(" / 10000.0)")
                       : f.sql;
            return;
        }
        if (otherKind == Numeric) {
            if (n.kind != Node::Kind::Number)
                throw FormulaError(n.position, QStringLiteral("คำนวณได้เฉพาะตัวเลขและช่องที่เป็นตัวเลข"));
            bool ok = false;
            const double v = n.text.toDouble(&ok);
            if (!ok)
                throw FormulaError(n.position, QStringLiteral("ตัวเลขไม่ถูกต้อง"));
            sql += u'?';
            binds << v;
            return;
        }
        if (otherKind < 0) {
            QVariant v = literalValue(n);
            if (n.kind == Node::Kind::Date)
                v = n.date.toString(Qt::ISODate);
            else if (n.kind == Node::Kind::Bool)
                v = n.flag ? 1 : 0;
            sql += u'?';
            binds << v;
            return;
        }
        sql += u'?';
        binds << bindFor(n, otherKind);
    }

    // The kind of a side of a comparison: its field's, "a number" for a
    // calculation, none for a literal.
    static constexpr int Numeric = -2;
    int kindOf(const Node& n)
    {
        if (n.kind == Node::Kind::Arith)
            return Numeric;
        return n.kind == Node::Kind::Field ? field(n).kind : -1;
    }

    // A calculation in floating point; a division by nothing gives no value
    // (the condition is then false), never an error of the database.
    void arith(const Node& n)
    {
        sql += QStringLiteral("(CAST(");
        operand(*n.a, Numeric);
        sql += QStringLiteral(" AS DOUBLE PRECISION) ") + n.op + u' ';
        if (n.op == QLatin1String("/"))
            sql += QStringLiteral("NULLIF(");
        operand(*n.b, Numeric);
        if (n.op == QLatin1String("/"))
            sql += QStringLiteral(", 0)");
        sql += u')';
    }

    void node(const Node& n)
    {
        switch (n.kind) {
        case Node::Kind::And:
        case Node::Kind::Or:
            sql += u'(';
            node(*n.a);
            sql += n.kind == Node::Kind::And ? QStringLiteral(" AND ") : QStringLiteral(" OR ");
            node(*n.b);
            sql += u')';
            return;
        case Node::Kind::Not:
            sql += QStringLiteral("NOT (");
            node(*n.a);
            sql += u')';
            return;
        case Node::Kind::Bool:
            sql += n.flag ? QStringLiteral("1 = 1") : QStringLiteral("1 = 0");
            return;
        case Node::Kind::Compare: {
            const int ka = kindOf(*n.a);
            const int kb = kindOf(*n.b);
            sql += u'(';
            operand(*n.a, kb);
            sql += u' ' + n.op + u' ';
            operand(*n.b, ka);
            sql += u')';
            return;
        }
        case Node::Kind::Like:
            sql += u'(';
            operand(*n.a, -1);
            sql += dialect.like() + QStringLiteral("? ESCAPE '\\')");
            binds << platform::db::likePatternFromWildcards(n.b->text);
            return;
        case Node::Kind::Between: {
            const int k = kindOf(*n.a);
            sql += u'(';
            operand(*n.a, -1);
            sql += QStringLiteral(" BETWEEN ");
            operand(*n.b, k);
            sql += QStringLiteral(" AND ");
            operand(*n.c, k);
            sql += u')';
            return;
        }
        default:
            throw FormulaError(n.position, QStringLiteral("ส่วนนี้ไม่ใช่เงื่อนไข"));
        }
    }
};

void collectFields(const Node* n, QStringList& out)
{
    if (!n)
        return;
    if (n->kind == Node::Kind::Field)
        out << n->table + u'.' + n->column;
    collectFields(n->a.get(), out);
    collectFields(n->b.get(), out);
    collectFields(n->c.get(), out);
}

} // namespace

Formula Formula::parse(const QString& text)
{
    Formula f;
    if (text.trimmed().isEmpty())
        return f;
    f.m_root = Parser(tokenize(text)).parseAll();
    return f;
}

void Formula::compile(const Resolver& resolve, QString& sql, QVariantList& binds,
                      const platform::db::Dialect& dialect) const
{
    if (!m_root) {
        sql += QStringLiteral("1 = 1");
        return;
    }
    Compiler{resolve, sql, binds, dialect}.node(*m_root);
}

QStringList Formula::fields() const
{
    QStringList out;
    collectFields(m_root.get(), out);
    return out;
}

} // namespace tawela::reports
