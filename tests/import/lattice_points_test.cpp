#include <gtest/gtest.h>

#include "import/model/lattice_points.h"
#include "import/formats/qe_bands.h"

using namespace importer;

TEST(LatticePoints, CommittedSiliconPathIsFaceCentred) {
    auto rap = readQeRap(std::string(SOURCE_DIR) + "/examples/qe-si/si.bands.dat.rap");
    ASSERT_TRUE(rap) << rap.error();
    std::vector<KVector> marked;
    for (size_t i = 0; i < rap->k.size(); ++i)
        if (rap->high[i]) marked.push_back(rap->k[i]);
    auto named = nameHighSymmetryPoints(marked);
    ASSERT_TRUE(named);
    EXPECT_EQ(named->lattice, "face-centred cubic");
    EXPECT_EQ(named->names, (std::vector<std::string>{"L", "Gamma", "X", "W", "K", "Gamma"}));
}

// Hexagonal rows have c/a 1.6 (A at kz 0.3125), the tetragonal one 1.5.
TEST(LatticePoints, PathsOfEachLattice) {
    struct Case {
        std::string what;
        std::vector<KVector> points;
        std::string lattice;  // empty: no lattice names them all
        std::vector<std::string> names;
    } cases[] = {
        {"bcc", {{0, 0, 0}, {0, 1, 0}, {.5, .5, 0}, {.5, .5, .5}}, "body-centred cubic", {"Gamma", "H", "N", "P"}},
        {"sc", {{0, 0, 0}, {0, .5, 0}, {.5, .5, 0}, {.5, .5, .5}}, "simple cubic", {"Gamma", "X", "M", "R"}},
        {"hexagonal, a1 along x",
         {{0, 0, 0}, {.5, .288675, 0}, {.333333, .577350, 0}, {0, 0, .3125}, {.5, .288675, .3125},
          {.333333, .577350, .3125}},
         "hexagonal", {"Gamma", "M", "K", "A", "L", "H"}},
        {"hexagonal, a1 along y",
         {{-.288675, .5, 0}, {-.577350, .333333, 0}, {0, 0, .3125}, {-.288675, .5, .3125}, {-.577350, .333333, .3125}},
         "hexagonal", {"M", "K", "A", "L", "H"}},
        {"tetragonal",
         {{0, .5, 0}, {.5, .5, 0}, {0, 0, .333333}, {0, .5, .333333}, {.5, .5, .333333}},
         "simple tetragonal", {"X", "M", "Z", "R", "A"}},
        {"fcc, turned and shifted; K and U by their nearest image",
         {{0, 0, -1}, {-.5, -.5, 1.5}, {1, 0, .5}, {2.75, .75, 0}, {-.25, -.25, -1}},
         "face-centred cubic", {"X", "L", "W", "K", "U"}},
        {"hexagonal, turned, below the plane and shifted",
         {{0, .577350, 0}, {-.666667, 0, 0}, {.333333, -.577350, -.3125}, {1.5, .866025, .3125}, {0, 0, -.3125}},
         "hexagonal", {"M", "K", "H", "L", "A"}},
        {"Gamma alone", {{0, 0, 0}}, "face-centred cubic", {"Gamma"}},
        {"a point inside the zone", {{.5, .5, .5}, {0, 0, 0}, {1, 0, 0}, {.3, 0, 0}}, "", {}},
        {"hexagonal heights disagree", {{0, 0, 0}, {.5, .288675, 0}, {0, 0, .3125}, {.5, .288675, .3}}, "", {}},
        // The second point is L shifted by c*, but the height is read from kz as it stands.
        {"heights disagree by c*", {{0, 0, .3125}, {.5, .288675, .9375}}, "", {}},
        {"hexagonal orientations mixed", {{0, 0, 0}, {.5, .288675, 0}, {-.577350, .333333, 0}}, "", {}},
        {"no points", {}, "", {}},
    };
    for (const Case& c : cases) {
        auto named = nameHighSymmetryPoints(c.points);
        ASSERT_EQ(named.has_value(), !c.lattice.empty()) << c.what;
        if (!named) continue;
        EXPECT_EQ(named->lattice, c.lattice) << c.what;
        EXPECT_EQ(named->names, c.names) << c.what;
    }
}
