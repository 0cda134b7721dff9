#include <array>
#include <deque>
#include <random>

#include <gtest/gtest.h>

#include "screens/map/TownMapFixture.h"

namespace {

class CCpsPathThreadTest : public TownMapFixture
{
protected:
    void Map(const std::vector<std::string>& rows)
    {
        m_map.files["walk.map"] = tools::BuildWalkMap(rows);
        ASSERT_EQ(m_map.LoadWalkMap("walk.map"), 1u);
    }
    // Searches from the figure whose foot is (fx, fy) to the goal (gx, gy).
    uint32_t Find(int fx, int fy, int gx, int gy)
    {
        m_figure.fill(0);
        MapMover figure(m_figure.data());
        figure.SetX(static_cast<uint16_t>(fx));
        figure.SetY(static_cast<uint16_t>(fy - 1));
        m_map.PrepareDistanceGrid();
        m_map.PathTarget.TargetX = static_cast<uint16_t>(gx);
        m_map.PathTarget.TargetY = static_cast<uint16_t>(gy);
        return m_map.FindPath(figure);
    }
    bool Free(int x, int y) { return x >= 0 && y >= 0 && x < m_w && y < m_h && m_map.BlockAt(x, y) == 0; }
    // Whether the direction bits lead from the foot to the goal in PathLength steps over free cells.
    bool Follows(int fx, int fy, int gx, int gy)
    {
        int x = fx, y = fy;
        for (int i = 0; i < m_map.PathLength; ++i) {
            const uint8_t bits = m_map.DirectionGrid[static_cast<size_t>(y) * 255 + static_cast<size_t>(x)];
            if (bits == 0)
                return false;
            y += (bits & 8 ? 1 : 0) - (bits & 1 ? 1 : 0);
            x += (bits & 4 ? 1 : 0) - (bits & 2 ? 1 : 0);
            if (!Free(x, y))
                return false;
        }
        return x == gx && y == gy;
    }
    // A breadth-first search from the goal under the figure's neighbour rules.
    bool Reachable(int fx, int fy, int gx, int gy)
    {
        std::vector<uint8_t> seen(255 * 192, 0);
        std::deque<std::pair<int, int>> open{{gx, gy}};
        seen[static_cast<size_t>(gy) * 255 + static_cast<size_t>(gx)] = 1;
        while (!open.empty()) {
            const auto [x, y] = open.front();
            open.pop_front();
            const std::array<std::array<int, 2>, 4> next{{{x, y - 1}, {x, y + 1}, {x - 1, y}, {x + 1, y}}};
            const std::array<bool, 4> fits{Free(x, y - 1) && Free(x + 1, y - 1),
                                           Free(x + 1, y + 1) && Free(x, y + 2) && Free(x + 1, y + 2), true,
                                           Free(x + 2, y)};
            for (size_t i = 0; i < 4; ++i) {
                const auto [nx, ny] = next[i];
                if (!fits[i] || !(Free(nx, ny) || (nx == fx && ny == fy)))
                    continue;
                if (nx == fx && ny == fy)
                    return true;
                uint8_t& mark = seen[static_cast<size_t>(ny) * 255 + static_cast<size_t>(nx)];
                if (mark == 0) {
                    mark = 1;
                    open.push_back({nx, ny});
                }
            }
        }
        return false;
    }
    void Size(int w, int h)
    {
        m_w = w;
        m_h = h;
    }
    int Numbered()
    {
        int count = 0;
        for (uint16_t v : m_map.DistanceGrid)
            count += v < 65533 ? 1 : 0;
        return count;
    }

    std::array<uint8_t, 14> m_figure{};
    int m_w = 0, m_h = 0;
};

} // namespace

TEST_F(CCpsPathThreadTest, SearchCases)
{
    struct Case
    {
        const char* what;
        std::vector<std::string> rows;
        int fx, fy, gx, gy;
        uint32_t found;
        int length; // -1: not checked
    } cases[] = {
        {"on the goal", TownMapFixture::Free(10, 10), 4, 4, 4, 4, 0, -1},
        {"goal above the foot", TownMapFixture::Free(10, 10), 4, 4, 4, 3, 1, 1},
        {"goal left of the foot", TownMapFixture::Free(10, 10), 4, 4, 3, 4, 1, 1},
        {"walled goal",
         {"..........", "...###....", "...#.#....", "...###....", ".........."},
         7,
         4,
         4,
         2,
         0,
         -1},
        {"top-left corner", TownMapFixture::Free(255, 192), 200, 150, 0, 0, 1, -1},
        {"bottom-right corner", TownMapFixture::Free(255, 192), 3, 3, 253, 191, 1, -1},
        {"figure on column 253, row 190", TownMapFixture::Free(255, 192), 253, 190, 0, 0, 1, -1},
        {"a foot on the last row is out of reach", TownMapFixture::Free(255, 192), 100, 191, 0, 0, 0, -1},
        {"figure on column 254 never fits", TownMapFixture::Free(255, 192), 254, 100, 0, 0, 0, -1},
        {"goal off the map", TownMapFixture::Free(20, 20), 4, 4, 20, 4, 0, -1},
        {"foot off the map", TownMapFixture::Free(20, 20), 4, 20, 4, 4, 0, -1},
        {"column 0 to column 0", TownMapFixture::Free(30, 30), 0, 28, 0, 0, 1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Map(c.rows);
        Size(static_cast<int>(c.rows[0].size()), static_cast<int>(c.rows.size()));
        EXPECT_EQ(Find(c.fx, c.fy, c.gx, c.gy), c.found);
        if (c.length >= 0) {
            EXPECT_EQ(m_map.PathLength, c.length);
        }
        if (c.found == 1) {
            EXPECT_TRUE(Follows(c.fx, c.fy, c.gx, c.gy));
        }
    }
}

TEST_F(CCpsPathThreadTest, AGoalBesideTheFootEndsOnTheFirstPass)
{
    Map(TownMapFixture::Free(12, 12));
    Size(12, 12);
    for (auto [gx, gy] : std::array<std::array<int, 2>, 4>{{{5, 4}, {5, 6}, {4, 5}, {6, 5}}}) {
        ASSERT_EQ(Find(5, 5, gx, gy), 1u);
        EXPECT_EQ(Numbered(), 1) << gx << "," << gy;
    }
}

TEST_F(CCpsPathThreadTest, PreferenceFlagsChangeTheOrder)
{
    // The figure lies below and a little left (p = 2): down is walled, so left or right goes next.
    std::vector<std::string> rows = TownMapFixture::Free(20, 17);
    rows[3][9] = '#';
    Map(rows);
    Size(20, 17);
    for (auto [flag, numbered_x] : std::array<std::array<int, 2>, 2>{{{0, 8}, {1, 10}}}) {
        State().Flags[4068] = static_cast<uint8_t>(flag);
        Find(8, 15, 9, 2);
        EXPECT_EQ(m_map.DistanceGrid[2 * 255 + static_cast<size_t>(numbered_x)], 1) << "flag " << flag;
    }
    State().Flags[4068] = 0;
}

TEST_F(CCpsPathThreadTest, EqualValuesKeepTheEarlierRay)
{
    Map(TownMapFixture::Free(20, 20));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            m_map.DistanceGrid[static_cast<size_t>(y) * 255 + static_cast<size_t>(x)] = 65534;
    auto at = [&](int x, int y) -> uint16_t& {
        return m_map.DistanceGrid[static_cast<size_t>(y) * 255 + static_cast<size_t>(x)];
    };
    at(10, 10) = 9;
    at(7, 10) = 0;  // left
    at(14, 10) = 0; // right, equal: left came first
    EXPECT_EQ(m_map.TracePath(10, 10), 1u);
    EXPECT_EQ(m_map.DirectionGrid[10 * 255 + 10], 2);
    EXPECT_EQ(m_map.PathLength, 3);
}

TEST_F(CCpsPathThreadTest, RandomMazes)
{
    std::mt19937 random(41);
    for (int round = 0; round < 60; ++round) {
        const int w = 8 + static_cast<int>(random() % 40), h = 8 + static_cast<int>(random() % 30);
        const int density = static_cast<int>(random() % 40);
        std::vector<std::string> rows(static_cast<size_t>(h), std::string(static_cast<size_t>(w), '.'));
        for (auto& row : rows)
            for (char& cell : row)
                if (static_cast<int>(random() % 100) < density)
                    cell = '#';
        const int fx = static_cast<int>(random() % (w - 1)), fy = static_cast<int>(random() % h);
        const int gx = static_cast<int>(random() % w), gy = static_cast<int>(random() % h);
        rows[static_cast<size_t>(fy)][static_cast<size_t>(fx)] = '.';
        rows[static_cast<size_t>(fy)][static_cast<size_t>(fx) + 1] = '.';
        rows[static_cast<size_t>(gy)][static_cast<size_t>(gx)] = '.';
        SCOPED_TRACE(round);
        Map(rows);
        Size(w, h);
        const bool reachable = (fx == gx && fy == gy) || Reachable(fx, fy, gx, gy);
        const uint32_t found = Find(fx, fy, gx, gy);
        if (found == 1) {
            EXPECT_TRUE(Follows(fx, fy, gx, gy));
        }
        if (!reachable) {
            EXPECT_EQ(found, 0u);
        }
        if (density == 0 && fy < h - 1) {
            EXPECT_EQ(found, 1u);
        }
    }
}
