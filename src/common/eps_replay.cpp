#include "common/eps_replay.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <string_view>
#include <unordered_map>

#include "common/publication.h"
#include "common/records.h"

namespace common {

namespace {

// A word of the PostScript text and the record (line) it stands on.
struct Word {
    std::string_view text;
    size_t record = 0;
};

// The words of the text from `from` on, one at a time, each with its
// record (line): braces are words of their own, comments are skipped. Or
// the words of a procedure kept.
class Words {
public:
    Words(const std::string& text, size_t from, size_t record) : text_(text), i_(from), record_(record) {}
    explicit Words(const std::vector<Word>& kept) : kept_(&kept), i_(0), record_(0) {}

    bool next(Word& w) {
        if (kept_) {
            if (i_ >= kept_->size()) return false;
            w = (*kept_)[i_++];
            return true;
        }
        const size_t n = text_.size();
        while (i_ < n) {
            const char c = text_[i_];
            if (c == '\n') {
                ++record_;
                ++i_;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++i_;
            } else if (c == '%') {
                while (i_ < n && text_[i_] != '\n') ++i_;
            } else if (c == '{' || c == '}') {
                w = {text_.substr(i_++, 1), record_};
                return true;
            } else {
                const size_t start = i_;
                while (i_ < n && text_[i_] != ' ' && text_[i_] != '\n' && text_[i_] != '\t' && text_[i_] != '\r' &&
                       text_[i_] != '{' && text_[i_] != '}' && text_[i_] != '%')
                    ++i_;
                w = {text_.substr(start, i_ - start), record_};
                return true;
            }
        }
        return false;
    }

private:
    std::string_view text_;
    const std::vector<Word>* kept_ = nullptr;
    size_t i_;
    size_t record_;
};

// What the operand stack holds: numbers, literal names (/MFAC) and
// procedures ({...}, kept as their words).
struct Value {
    enum Kind { Number, Name, Procedure } kind = Number;
    double number = 0;
    std::string_view name;
    std::vector<Word> words;
};

// The affine map from user space to the page, as PostScript's matrix
// [a b c d e f]: x' = a x + c y + e, y' = b x + d y + f.
struct Matrix {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
    void apply(double x, double y, double& px, double& py) const {
        px = a * x + c * y + e;
        py = b * x + d * y + f;
    }
    void applyDelta(double x, double y, double& px, double& py) const {
        px = a * x + c * y;
        py = b * x + d * y;
    }
    // the new user space `m` within the old one
    void concat(const Matrix& m) {
        const Matrix o = *this;
        a = m.a * o.a + m.b * o.c;
        b = m.a * o.b + m.b * o.d;
        c = m.c * o.a + m.d * o.c;
        d = m.c * o.b + m.d * o.d;
        e = m.e * o.a + m.f * o.c + o.e;
        f = m.e * o.b + m.f * o.d + o.f;
    }
    // how much a length grows (the maps here keep angles)
    double scale() const { return std::sqrt(std::fabs(a * d - b * c)); }
};

struct GraphicsState {
    Matrix ctm;
    double red = 0, green = 0, blue = 0;
    double width = 1;  // in user space
    int cap = 0, join = 0;
};

// Runs the words of the page on a stack machine that knows the operators
// of PGPLOT's prolog natively and the few PostScript ones its page set-up
// and markers use.
class Replay {
public:
    explicit Replay(const std::string& name) : name_(name) {}

    Status run(Words& words) {
        executeAll(words);
        if (!why_.empty()) return Failure{why_};
        if (!shown_) return Failure{name_ + ": cut short, its page is never shown"};
        return {};
    }

    std::vector<Shape> shapes;

private:
    // Every word in turn, a procedure kept whole, until the first fault.
    void executeAll(Words& words) {
        for (Word w; why_.empty() && words.next(w);) {
            if (w.text == "{") {
                procedure(words, w);
            } else {
                execute(w);
            }
        }
    }

    // The words of the procedure that `open` opens, up to its closing
    // brace, onto the stack.
    void procedure(Words& words, const Word& open) {
        Value p;
        p.kind = Value::Procedure;
        int depth = 1;
        for (Word w; words.next(w);) {
            if (w.text == "{") ++depth;
            if (w.text == "}" && --depth == 0) {
                stack_.push_back(std::move(p));
                return;
            }
            p.words.push_back(w);
        }
        fail(open, "a procedure without its closing brace");
    }

    void fail(const Word& w, const std::string& what) {
        if (why_.empty()) why_ = recordWhere(name_, w.record, what);
    }

    // The n numbers on top of the stack into out[0..n), popped; false (and
    // the complaint) when there are fewer.
    bool numbers(const Word& w, size_t n, double* out) {
        if (stack_.size() < n) {
            fail(w, "'" + std::string(w.text) + "' wants " + std::to_string(n) + " numbers");
            return false;
        }
        for (size_t k = 0; k < n; ++k) {
            const Value& v = stack_[stack_.size() - n + k];
            if (v.kind != Value::Number) {
                fail(w, "'" + std::string(w.text) + "' wants " + std::to_string(n) + " numbers");
                return false;
            }
            out[k] = v.number;
        }
        stack_.resize(stack_.size() - n);
        return true;
    }

    void moveTo(double x, double y) {
        gs_.ctm.apply(x, y, px_, py_);
        path_.push_back({PathStep::Move, px_, py_});
        start_ = path_.size() - 1;
        current_ = true;
    }
    bool lineBy(const Word& w, double dx, double dy, bool relative) {
        if (!current_) {
            fail(w, "'" + std::string(w.text) + "' without a current point");
            return false;
        }
        double x, y;
        if (relative) {
            gs_.ctm.applyDelta(dx, dy, x, y);
            x += px_;
            y += py_;
        } else {
            gs_.ctm.apply(dx, dy, x, y);
        }
        path_.push_back({PathStep::Line, x, y});
        px_ = x;
        py_ = y;
        return true;
    }
    void closePath() {
        if (path_.empty()) return;
        path_.push_back({PathStep::Close, 0, 0});
        px_ = path_[start_].x;
        py_ = path_[start_].y;
    }
    void circle(double x, double y, double r) {
        double cx, cy;
        gs_.ctm.apply(x, y, cx, cy);
        path_.push_back({PathStep::Circle, cx, cy, r * gs_.ctm.scale()});
        current_ = false;
    }

    Shape pen(bool fill, bool evenOdd) const {
        Shape s;
        s.fill = fill;
        s.evenOdd = evenOdd;
        s.red = gs_.red;
        s.green = gs_.green;
        s.blue = gs_.blue;
        s.width = gs_.width * gs_.ctm.scale();
        s.cap = gs_.cap;
        s.join = gs_.join;
        return s;
    }

    // A stroke going on from the end of the previous one with the same pen
    // and round ends and joins is the same ink as one polyline.
    bool joinsLast(const Shape& s) const {
        if (shapes.empty() || path_.size() < 2 || path_[0].kind != PathStep::Move) return false;
        const Shape& last = shapes.back();
        if (last.fill || s.cap != 1 || s.join != 1 || last.cap != 1 || last.join != 1 || last.width != s.width ||
            last.red != s.red || last.green != s.green || last.blue != s.blue)
            return false;
        const PathStep& end = last.path.back();
        if (end.kind != PathStep::Line && end.kind != PathStep::Move) return false;
        for (size_t k = 1; k < path_.size(); ++k)
            if (path_[k].kind != PathStep::Line) return false;
        return std::fabs(end.x - path_[0].x) < 1e-9 && std::fabs(end.y - path_[0].y) < 1e-9;
    }

    // Strokes or fills the current path and starts a new one.
    void paint(bool fill, bool evenOdd) {
        Shape s = pen(fill, evenOdd);
        if (!fill && joinsLast(s)) {
            shapes.back().path.insert(shapes.back().path.end(), path_.begin() + 1, path_.end());
        } else if (!path_.empty()) {
            s.path = std::move(path_);
            shapes.push_back(std::move(s));
        }
        path_.clear();
        current_ = false;
    }
    // PGPLOT's "currentpoint stroke moveto": stroked, the pen left where it was.
    void strokeKeepingPoint() {
        const double x = px_, y = py_;
        paint(false, false);
        path_.push_back({PathStep::Move, x, y});
        start_ = 0;
        px_ = x;
        py_ = y;
        current_ = true;
    }

    void execute(const Word& w) {
        const std::string_view t = w.text;
        const char c0 = t[0];
        if ((c0 >= '0' && c0 <= '9') || c0 == '-' || c0 == '.' || c0 == '+') {
            Value v;
            if (!wholeNumber(t, v.number)) {
                const char* first = t.data() + (c0 == '+' ? 1 : 0);
                const auto [end, ec] = std::from_chars(first, t.data() + t.size(), v.number);
                if (ec != std::errc() || end != t.data() + t.size())
                    return fail(w, "'" + std::string(t) + "' is no number");
            }
            stack_.push_back(std::move(v));
            return;
        }
        if (c0 == '/') {
            Value v;
            v.kind = Value::Name;
            v.name = t.substr(1);
            stack_.push_back(std::move(v));
            return;
        }
        double n[6];
        switch (opcode(t)) {
        case Op::L:  // dx dy x y L: a segment from (x, y)
            if (!numbers(w, 4, n)) return;
            path_.clear();
            moveTo(n[2], n[3]);
            if (lineBy(w, n[0], n[1], true)) strokeKeepingPoint();
            return;
        case Op::C:  // dx dy C: the next segment from where the pen stands
            if (numbers(w, 2, n) && lineBy(w, n[0], n[1], true)) strokeKeepingPoint();
            return;
        case Op::D:  // x y D: a dot
            if (!numbers(w, 2, n)) return;
            path_.clear();
            moveTo(n[0], n[1]);
            if (lineBy(w, 0, 0, true)) strokeKeepingPoint();
            return;
        case Op::LW:
            if (numbers(w, 1, n)) gs_.width = 5 * n[0];
            return;
        case Op::BP:
            if (!numbers(w, 2, n)) return;
            path_.clear();
            moveTo(n[0], n[1]);
            return;
        case Op::LP:
        case Op::Rlineto:
            if (numbers(w, 2, n)) lineBy(w, n[0], n[1], true);
            return;
        case Op::EP:
            if (!numbers(w, 2, n) || !lineBy(w, n[0], n[1], true)) return;
            closePath();
            paint(true, true);
            return;
        case Op::K:
            if (!numbers(w, 3, n)) return;
            gs_.red = n[0] / 1024;
            gs_.green = n[1] / 1024;
            gs_.blue = n[2] / 1024;
            return;
        case Op::G:
            if (numbers(w, 1, n)) gs_.red = gs_.green = gs_.blue = n[0] / 1024;
            return;
        case Op::MB:  // a marker's own space about (x, y), MFAC to the unit
            if (!numbers(w, 2, n)) return;
            saved_.push_back(gs_);
            gs_.ctm.concat({1, 0, 0, 1, n[0], n[1]});
            if (const auto f = dictionary_.find("MFAC"); f != dictionary_.end() && f->second.kind == Value::Number)
                gs_.ctm.concat({f->second.number, 0, 0, f->second.number, 0, 0});
            gs_.width = 1;
            gs_.cap = 2;
            gs_.join = 0;
            path_.clear();
            current_ = false;
            return;
        case Op::CC:
        case Op::FC:
            if (!numbers(w, 3, n)) return;
            circle(n[0], n[1], n[2]);
            paint(opcode(t) == Op::FC, false);
            return;
        case Op::Arc:  // only the whole circles of the markers
            if (!numbers(w, 5, n)) return;
            if (std::fabs(n[4] - n[3] - 360) > 1e-9) return fail(w, "'arc' of less than a whole circle");
            circle(n[0], n[1], n[2]);
            return;
        case Op::Moveto:
            if (!numbers(w, 2, n)) return;
            moveTo(n[0], n[1]);
            return;
        case Op::Lineto:
            if (numbers(w, 2, n)) lineBy(w, n[0], n[1], false);
            return;
        case Op::Closepath: closePath(); return;
        case Op::Newpath:
            path_.clear();
            current_ = false;
            return;
        case Op::Stroke: paint(false, false); return;
        case Op::Fill: paint(true, false); return;
        case Op::Eofill: paint(true, true); return;
        case Op::Gsave: saved_.push_back(gs_); return;
        case Op::ME:
        case Op::Grestore:
            if (saved_.empty()) return fail(w, "'" + std::string(t) + "' without its gsave");
            gs_ = saved_.back();
            saved_.pop_back();
            return;
        case Op::Scale:
            if (numbers(w, 2, n)) gs_.ctm.concat({n[0], 0, 0, n[1], 0, 0});
            return;
        case Op::Translate:
            if (numbers(w, 2, n)) gs_.ctm.concat({1, 0, 0, 1, n[0], n[1]});
            return;
        case Op::Rotate: {
            if (!numbers(w, 1, n)) return;
            const double r = n[0] * M_PI / 180, cs = std::cos(r), sn = std::sin(r);
            gs_.ctm.concat({cs, sn, -sn, cs, 0, 0});
            return;
        }
        case Op::Setlinewidth:
            if (numbers(w, 1, n)) gs_.width = n[0];
            return;
        case Op::Setlinecap:
            if (numbers(w, 1, n)) gs_.cap = static_cast<int>(n[0]);
            return;
        case Op::Setlinejoin:
            if (numbers(w, 1, n)) gs_.join = static_cast<int>(n[0]);
            return;
        case Op::Setgray:
            if (numbers(w, 1, n)) gs_.red = gs_.green = gs_.blue = n[0];
            return;
        case Op::Setrgbcolor:
            if (!numbers(w, 3, n)) return;
            gs_.red = n[0];
            gs_.green = n[1];
            gs_.blue = n[2];
            return;
        case Op::Save: stack_.push_back(Value{}); return;  // PGPLOT saves and restores the whole page
        case Op::Restore:
            if (stack_.empty()) return fail(w, "'restore' without its save");
            stack_.pop_back();
            return;
        case Op::Showpage: shown_ = true; return;
        case Op::Bind: return;
        case Op::Def:
            if (stack_.size() < 2 || stack_[stack_.size() - 2].kind != Value::Name)
                return fail(w, "'def' wants a name and a value");
            dictionary_[std::string(stack_[stack_.size() - 2].name)] = std::move(stack_.back());
            stack_.resize(stack_.size() - 2);
            return;
        case Op::None: break;
        }
        const auto known = dictionary_.find(std::string(t));
        if (known == dictionary_.end()) return fail(w, "unknown operator '" + std::string(t) + "'");
        if (known->second.kind != Value::Procedure) {
            stack_.push_back(known->second);
            return;
        }
        if (++depth_ > 16) return fail(w, "procedures called too deep");
        const std::vector<Word> body = known->second.words;
        Words words(body);
        executeAll(words);
        --depth_;
    }

    // PGPLOT writes its coordinates as whole numbers of a few digits: read
    // here, anything else by from_chars.
    static bool wholeNumber(std::string_view t, double& v) {
        const bool negative = t[0] == '-';
        const size_t from = negative ? 1 : 0;
        if (t.size() == from || t.size() - from > 9) return false;
        long n = 0;
        for (size_t i = from; i < t.size(); ++i) {
            if (t[i] < '0' || t[i] > '9') return false;
            n = 10 * n + (t[i] - '0');
        }
        v = static_cast<double>(negative ? -n : n);
        return true;
    }

    enum class Op {
        None, L, C, D, LW, BP, LP, EP, K, G, MB, ME, CC, FC, Arc, Moveto, Lineto, Rlineto, Closepath, Newpath,
        Stroke, Fill, Eofill, Gsave, Grestore, Scale, Translate, Rotate, Setlinewidth, Setlinecap, Setlinejoin,
        Setgray, Setrgbcolor, Save, Restore, Showpage, Bind, Def
    };
    static Op opcode(std::string_view t) {
        static const std::unordered_map<std::string_view, Op> ops = {
            {"L", Op::L}, {"C", Op::C}, {"D", Op::D}, {"LW", Op::LW}, {"BP", Op::BP}, {"LP", Op::LP},
            {"EP", Op::EP}, {"K", Op::K}, {"G", Op::G}, {"MB", Op::MB}, {"ME", Op::ME}, {"CC", Op::CC},
            {"FC", Op::FC}, {"arc", Op::Arc}, {"moveto", Op::Moveto}, {"lineto", Op::Lineto},
            {"rlineto", Op::Rlineto}, {"closepath", Op::Closepath}, {"newpath", Op::Newpath},
            {"stroke", Op::Stroke}, {"fill", Op::Fill}, {"eofill", Op::Eofill}, {"gsave", Op::Gsave},
            {"grestore", Op::Grestore}, {"scale", Op::Scale}, {"translate", Op::Translate},
            {"rotate", Op::Rotate}, {"setlinewidth", Op::Setlinewidth}, {"setlinecap", Op::Setlinecap},
            {"setlinejoin", Op::Setlinejoin}, {"setgray", Op::Setgray}, {"setrgbcolor", Op::Setrgbcolor},
            {"save", Op::Save}, {"restore", Op::Restore}, {"showpage", Op::Showpage}, {"bind", Op::Bind},
            {"def", Op::Def}};
        const auto it = ops.find(t);
        return it == ops.end() ? Op::None : it->second;
    }

    const std::string& name_;
    std::string why_;
    std::vector<Value> stack_;
    std::map<std::string, Value> dictionary_;
    GraphicsState gs_;
    std::vector<GraphicsState> saved_;
    std::vector<PathStep> path_;
    size_t start_ = 0;  // the current subpath's first step
    double px_ = 0, py_ = 0;
    bool current_ = false;
    bool shown_ = false;
    int depth_ = 0;
};

}  // namespace

Result<EpsPicture> readEps(const std::string& text, const std::string& name) {
    const size_t head = text.find("%%EndComments");
    const size_t creator = text.find("\n%%Creator: PGPLOT");
    if (text.rfind("%!PS-Adobe-", 0) != 0 || creator == std::string::npos || creator > head)
        return Failure{name + ": not a PostScript picture of PGPLOT"};
    EpsPicture picture;
    double box[4];
    if (!headBox(text, box) || !(box[2] > box[0] && box[3] > box[1]))
        return Failure{name + ": no bounding box in the header"};
    picture.x0 = box[0];
    picture.y0 = box[1];
    picture.x1 = box[2];
    picture.y1 = box[3];
    // the prolog defines what the replay knows natively
    const std::string endProlog = "%%EndProlog\n";
    const size_t body = text.find(endProlog);
    if (body == std::string::npos) return Failure{name + ": no end of the prolog"};
    const size_t from = body + endProlog.size();
    const size_t record = static_cast<size_t>(std::count(text.begin(), text.begin() + static_cast<long>(from), '\n')) + 1;
    Replay replay(name);
    Words words(text, from, record);
    if (Status done = replay.run(words); !done) return Failure{done.error()};
    picture.shapes = std::move(replay.shapes);
    return picture;
}

}  // namespace common
