// Random sequences of CStr operations, each step checked against the
// reference model (StrModel.h); in about one step in ten the first
// allocation fails. CI runs the fixed seeds below; a longer run on demand:
//   LXIBASE_MODEL_SEED=7 LXIBASE_MODEL_STEPS=1000000 lxibase_tests --gtest_filter='StrModel.*'
// LXIBASE_MODEL_SEED replaces the fixed seeds, LXIBASE_MODEL_STEPS sets the
// steps per seed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "StrModel.h"

TEST(StrModel, RandomSequences)
{
    char const* const pSeed = std::getenv("LXIBASE_MODEL_SEED");
    char const* const pSteps = std::getenv("LXIBASE_MODEL_STEPS");
    std::vector<unsigned long> seeds = {1, 2, 3};
    if (pSeed != nullptr)
        seeds = {std::strtoul(pSeed, nullptr, 0)};
    unsigned long const steps = pSteps != nullptr ? std::strtoul(pSteps, nullptr, 0) : 3000;
    for (unsigned long seed : seeds) {
        std::mt19937 random(static_cast<std::mt19937::result_type>(seed));
        lxitest::CStrModelRun run([&](unsigned int n) { return static_cast<unsigned int>(random() % n); });
        for (unsigned long step = 0; step < steps; ++step)
            ASSERT_EQ("", run.Step()) << "seed " << seed << ", step " << step;
    }
}
