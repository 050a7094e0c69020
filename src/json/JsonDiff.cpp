#include "json/JsonDiff.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <unordered_map>
#include <utility>

namespace corvane::json {

namespace {

// Beyond this many inserted plus deleted elements the Myers search stops and the
// alignment falls back to anchors (elements found exactly once in each array).
constexpr int MaxEditDistance = 1000;
// Leftover runs up to this many element pairs are paired by likeness; longer ones position by position.
constexpr std::size_t MaxPairingCells = 1 << 14;
// Costs of the pairing, in thousandths: an unpaired element, and a pair of elements with
// nothing in common (a pair costs less the more fields it shares).
constexpr int GapCost = 500;
constexpr int UnlikePairCost = 1000;

struct Match {
    std::size_t a;
    std::size_t b;
};

using Ids = std::vector<int>;

// The shortest edit script of a[a0, a1) to b[b0, b1) by the greedy O(ND) search; appends its
// matched positions. False (nothing appended) when more than MaxEditDistance edits are needed.
bool myersMatches(const Ids& a, std::size_t a0, std::size_t a1, const Ids& b, std::size_t b0, std::size_t b1,
                  std::vector<Match>& out) {
    const int n = static_cast<int>(a1 - a0);
    const int m = static_cast<int>(b1 - b0);
    const int maxD = std::min(n + m, MaxEditDistance);
    const int offset = maxD + 1;
    std::vector<int> v(static_cast<std::size_t>(2 * maxD + 3), 0); // furthest x on each diagonal k
    std::vector<std::vector<int>> trace;                           // v before step d, diagonals -d-1 … d+1
    auto at = [&](int k) -> int& { return v[static_cast<std::size_t>(k + offset)]; };
    int found = -1;
    for (int d = 0; d <= maxD && found < 0; ++d) {
        trace.emplace_back(v.begin() + (offset - d - 1), v.begin() + (offset + d + 2));
        for (int k = -d; k <= d; k += 2) {
            int x = (k == -d || (k != d && at(k - 1) < at(k + 1))) ? at(k + 1) : at(k - 1) + 1;
            int y = x - k;
            while (x < n && y < m &&
                   a[a0 + static_cast<std::size_t>(x)] == b[b0 + static_cast<std::size_t>(y)])
                ++x, ++y;
            at(k) = x;
            if (x >= n && y >= m) {
                found = d;
                break;
            }
        }
    }
    if (found < 0) return false;
    std::vector<Match> reversed;
    int x = n;
    int y = m;
    for (int d = found; d >= 0; --d) {
        const std::vector<int>& before = trace[static_cast<std::size_t>(d)];
        auto prev = [&](int k) { return before[static_cast<std::size_t>(k + d + 1)]; };
        const int k = x - y;
        const int prevK = (k == -d || (k != d && prev(k - 1) < prev(k + 1))) ? k + 1 : k - 1;
        const int prevX = d == 0 ? 0 : prev(prevK);
        const int prevY = d == 0 ? 0 : prevX - prevK;
        while (x > prevX && y > prevY) {
            --x, --y;
            reversed.push_back({a0 + static_cast<std::size_t>(x), b0 + static_cast<std::size_t>(y)});
        }
        x = prevX;
        y = prevY;
    }
    out.insert(out.end(), reversed.rbegin(), reversed.rend());
    return true;
}

void alignRange(const Ids& a, std::size_t a0, std::size_t a1, const Ids& b, std::size_t b0, std::size_t b1,
                std::vector<Match>& out);

// The elements found exactly once in each range, kept in the longest run that is in order on
// both sides; the gaps between them aligned in turn. Nothing matches when there is no anchor.
void anchorMatches(const Ids& a, std::size_t a0, std::size_t a1, const Ids& b, std::size_t b0, std::size_t b1,
                   std::vector<Match>& out) {
    struct Seen {
        int countA = 0;
        int countB = 0;
        std::size_t posA = 0;
        std::size_t posB = 0;
    };
    std::unordered_map<int, Seen> seen;
    for (std::size_t i = a0; i < a1; ++i) {
        Seen& s = seen[a[i]];
        ++s.countA;
        s.posA = i;
    }
    for (std::size_t j = b0; j < b1; ++j) {
        auto it = seen.find(b[j]);
        if (it == seen.end()) continue;
        ++it->second.countB;
        it->second.posB = j;
    }
    std::vector<Match> unique;
    for (const auto& [id, s] : seen)
        if (s.countA == 1 && s.countB == 1) unique.push_back({s.posA, s.posB});
    if (unique.empty()) return;
    std::sort(unique.begin(), unique.end(), [](const Match& l, const Match& r) { return l.a < r.a; });
    // Longest increasing run of b positions (patience sorting).
    std::vector<std::size_t> tails;                  // index into unique of the smallest tail per length
    std::vector<std::size_t> link(unique.size(), 0); // predecessor in unique
    for (std::size_t i = 0; i < unique.size(); ++i) {
        auto pos = std::lower_bound(tails.begin(), tails.end(), unique[i].b,
                                    [&](std::size_t t, std::size_t value) { return unique[t].b < value; });
        if (pos != tails.begin()) link[i] = *(pos - 1);
        if (pos == tails.end())
            tails.push_back(i);
        else
            *pos = i;
    }
    std::vector<Match> anchors(tails.size());
    for (std::size_t i = tails.size(), t = tails.back(); i-- > 0; t = link[t]) anchors[i] = unique[t];
    std::size_t nextA = a0;
    std::size_t nextB = b0;
    for (const Match& anchor : anchors) {
        alignRange(a, nextA, anchor.a, b, nextB, anchor.b, out);
        out.push_back(anchor);
        nextA = anchor.a + 1;
        nextB = anchor.b + 1;
    }
    alignRange(a, nextA, a1, b, nextB, b1, out);
}

// Equal elements of a[a0, a1) and b[b0, b1) in order: the common ends, then the middle.
void alignRange(const Ids& a, std::size_t a0, std::size_t a1, const Ids& b, std::size_t b0, std::size_t b1,
                std::vector<Match>& out) {
    while (a0 < a1 && b0 < b1 && a[a0] == b[b0]) out.push_back({a0++, b0++});
    std::size_t tail = 0;
    while (a1 > a0 && b1 > b0 && a[a1 - 1] == b[b1 - 1]) --a1, --b1, ++tail;
    if (a0 < a1 && b0 < b1 && !myersMatches(a, a0, a1, b, b0, b1, out))
        anchorMatches(a, a0, a1, b, b0, b1, out);
    for (std::size_t i = 0; i < tail; ++i) out.push_back({a1 + i, b1 + i});
}

template <class Json> class Differ {
public:
    using Difference = BasicJsonDifference<Json>;

    explicit Differ(std::vector<Difference>& out) : m_out(out) {}

    void compare(const Json& a, const Json& b, const std::string& pointer) {
        if (a.is_object() && b.is_object())
            compareObjects(a, b, pointer);
        else if (a.is_array() && b.is_array())
            compareArrays(a, b, pointer);
        else if (a != b)
            m_out.push_back({pointer, DiffKind::Changed, a, b});
    }

private:
    void compareObjects(const Json& a, const Json& b, const std::string& pointer) {
        for (auto it = a.begin(); it != a.end(); ++it) {
            auto other = b.find(it.key());
            if (other == b.end())
                m_out.push_back({appendPointer(pointer, it.key()), DiffKind::Removed, it.value(), Json()});
            else
                compare(it.value(), *other, appendPointer(pointer, it.key()));
        }
        for (auto it = b.begin(); it != b.end(); ++it)
            if (!a.contains(it.key()))
                m_out.push_back({appendPointer(pointer, it.key()), DiffKind::Added, Json(), it.value()});
    }

    void compareArrays(const Json& a, const Json& b, const std::string& pointer) {
        // Elements become small ids, equal ids for equal elements, so that the alignment
        // compares integers.
        std::unordered_map<std::size_t, std::vector<std::pair<const Json*, int>>> buckets;
        int nextId = 0;
        auto idOf = [&](const Json& element) {
            auto& bucket = buckets[std::hash<Json>{}(element)];
            for (const auto& [seen, id] : bucket)
                if (*seen == element) return id;
            bucket.emplace_back(&element, nextId);
            return nextId++;
        };
        Ids idsA;
        Ids idsB;
        idsA.reserve(a.size());
        idsB.reserve(b.size());
        for (const Json& element : a) idsA.push_back(idOf(element));
        for (const Json& element : b) idsB.push_back(idOf(element));
        std::vector<Match> matches;
        alignRange(idsA, 0, idsA.size(), idsB, 0, idsB.size(), matches);
        matches.push_back({a.size(), b.size()});
        std::size_t nextA = 0;
        std::size_t nextB = 0;
        for (const Match& match : matches) {
            pairRun(a, nextA, match.a, b, nextB, match.b, pointer);
            nextA = match.a + 1;
            nextB = match.b + 1;
        }
    }

    // How much of two elements agrees, in thousandths: the share of equal fields of two
    // objects, of equal positions of two arrays; nothing for two different scalars.
    static int likeness(const Json& a, const Json& b) {
        std::size_t same = 0;
        std::size_t total = 0;
        if (a.is_object() && b.is_object()) {
            std::size_t shared = 0;
            for (auto it = a.begin(); it != a.end(); ++it) {
                auto other = b.find(it.key());
                if (other == b.end()) continue;
                ++shared;
                if (*other == it.value()) ++same;
            }
            total = a.size() + b.size() - shared;
        } else if (a.is_array() && b.is_array()) {
            for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
                if (a[i] == b[i]) ++same;
            total = std::max(a.size(), b.size());
        }
        return total == 0 ? 0 : static_cast<int>(same * 1000 / total);
    }

    void removed(const Json& a, std::size_t i, const std::string& pointer) {
        m_out.push_back({appendPointer(pointer, std::to_string(i)), DiffKind::Removed, a[i], Json()});
    }
    void added(const Json& b, std::size_t j, const std::string& pointer) {
        m_out.push_back({appendPointer(pointer, std::to_string(j)), DiffKind::Added, Json(), b[j]});
    }

    // The unaligned elements a[a0, a1) and b[b0, b1) between two aligned ones: paired at the
    // least cost (a pair costs less the more alike its elements are, a tie pairs), each pair
    // compared further, the rest removed or added.
    void pairRun(const Json& a, std::size_t a0, std::size_t a1, const Json& b, std::size_t b0, std::size_t b1,
                 const std::string& pointer) {
        const std::size_t n = a1 - a0;
        const std::size_t m = b1 - b0;
        if (n == 0 || m == 0 || n * m > MaxPairingCells) {
            const std::size_t pairs = std::min(n, m);
            for (std::size_t i = 0; i < pairs; ++i)
                compare(a[a0 + i], b[b0 + i], appendPointer(pointer, std::to_string(a0 + i)));
            for (std::size_t i = a0 + pairs; i < a1; ++i) removed(a, i, pointer);
            for (std::size_t j = b0 + pairs; j < b1; ++j) added(b, j, pointer);
            return;
        }
        // cost[i][j]: the first i elements of the run in a against the first j in b.
        std::vector<int> cost((n + 1) * (m + 1), 0);
        std::vector<int> pairCost(n * m, 0);
        auto cell = [&](std::size_t i, std::size_t j) -> int& { return cost[i * (m + 1) + j]; };
        for (std::size_t i = 0; i <= n; ++i) cell(i, 0) = static_cast<int>(i) * GapCost;
        for (std::size_t j = 0; j <= m; ++j) cell(0, j) = static_cast<int>(j) * GapCost;
        for (std::size_t i = 1; i <= n; ++i)
            for (std::size_t j = 1; j <= m; ++j) {
                const int pair = UnlikePairCost - likeness(a[a0 + i - 1], b[b0 + j - 1]);
                pairCost[(i - 1) * m + j - 1] = pair;
                cell(i, j) =
                    std::min({cell(i - 1, j - 1) + pair, cell(i - 1, j) + GapCost, cell(i, j - 1) + GapCost});
            }
        enum class Step { Pair, Remove, Add };
        std::vector<Step> steps;
        for (std::size_t i = n, j = m; i > 0 || j > 0;) {
            if (i > 0 && j > 0 && cell(i, j) == cell(i - 1, j - 1) + pairCost[(i - 1) * m + j - 1]) {
                steps.push_back(Step::Pair);
                --i, --j;
            } else if (i > 0 && cell(i, j) == cell(i - 1, j) + GapCost) {
                steps.push_back(Step::Remove);
                --i;
            } else {
                steps.push_back(Step::Add);
                --j;
            }
        }
        std::size_t i = a0;
        std::size_t j = b0;
        for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
            if (*step == Step::Pair) {
                compare(a[i], b[j], appendPointer(pointer, std::to_string(i)));
                ++i, ++j;
            } else if (*step == Step::Remove) {
                removed(a, i++, pointer);
            } else {
                added(b, j++, pointer);
            }
        }
    }

    std::vector<Difference>& m_out;
};

} // namespace

std::string_view diffKindName(DiffKind kind) {
    switch (kind) {
    case DiffKind::Changed:
        return "changed";
    case DiffKind::Added:
        return "added";
    case DiffKind::Removed:
        return "removed";
    }
    return "changed";
}

std::string appendPointer(const std::string& parent, std::string_view token) {
    std::string out = parent;
    out.reserve(parent.size() + token.size() + 1);
    out += '/';
    for (char c : token) {
        if (c == '~')
            out += "~0";
        else if (c == '/')
            out += "~1";
        else
            out += c;
    }
    return out;
}

template <class Json> std::vector<BasicJsonDifference<Json>> diffJson(const Json& a, const Json& b) {
    std::vector<BasicJsonDifference<Json>> out;
    Differ<Json>(out).compare(a, b, "");
    return out;
}

template std::vector<BasicJsonDifference<nlohmann::json>> diffJson(const nlohmann::json&,
                                                                   const nlohmann::json&);
template std::vector<BasicJsonDifference<nlohmann::ordered_json>> diffJson(const nlohmann::ordered_json&,
                                                                           const nlohmann::ordered_json&);

} // namespace corvane::json
