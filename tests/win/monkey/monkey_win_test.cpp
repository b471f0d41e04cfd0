// The monkey through the real editor. By default one short seeded run; the
// environment asks for long ones (scripts/monkey.sh):
//   VEXA_MONKEY_SEED   first seed (1)
//   VEXA_MONKEY_SEEDS  how many seeds from there (1)
//   VEXA_MONKEY_STEPS  steps per seed (kShortRunSteps)
//   VEXA_MONKEY_SHRINK seconds to spend shortening a failing sequence (20)
#include "monkey/monkey.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace vexa::test::monkey {
namespace {

constexpr std::size_t kShortRunSteps = 1200;

unsigned long setting(const char* name, unsigned long otherwise) {
    const char* value = std::getenv(name);
    return value && *value ? std::strtoul(value, nullptr, 10) : otherwise;
}

// Every seed stores the game in another of the file layouts the editor keeps.
SampleFileOptions layoutFor(std::uint32_t seed) {
    return {(seed & 1) != 0, (seed & 2) != 0};
}

TEST(Monkey, SeededStepsKeepTheListsTheHistoryAndTheFile) {
    const auto first = static_cast<std::uint32_t>(setting("VEXA_MONKEY_SEED", 1));
    const auto seeds = static_cast<std::uint32_t>(setting("VEXA_MONKEY_SEEDS", 1));
    const std::size_t steps = setting("VEXA_MONKEY_STEPS", kShortRunSteps);
    const double shrinkSeconds = static_cast<double>(setting("VEXA_MONKEY_SHRINK", 20));
    static const SampleGame sample = buildSampleGame();

    std::size_t stepsRun = 0;
    std::size_t findings = 0;
    for (std::uint32_t seed = first; seed < first + seeds; ++seed) {
        const MonkeyGame game{sample, layoutFor(seed)};
        const RunResult run = runSeed(game, seed, steps);
        stepsRun += run.stepsRun;
        const MonkeySession::Tally& did = run.tally;
        std::printf(
            "monkey: seed %u: %zu steps (%zu changed the image, %zu of them the terrain, %zu moved a block into "
            "free space, %zu group edits, %zu Tiled imports, %zu undid, %zu stage switches, %zu language "
            "switches, %zu saves, %zu dialogs answered), %s\n",
            seed, run.stepsRun, did.imageChanged, did.terrainEdits, did.blockMoves, did.groupEdits, did.imports,
            did.undone, did.stagesOpened, did.languageSwitches, did.saved, did.dialogs,
            run.finding ? "failed" : "clean");
        std::fflush(stdout);
        if (!run.finding) continue;
        ++findings;
        ADD_FAILURE() << "seed " << seed << ", step " << run.stepsRun << ": " << *run.finding;
        std::printf("monkey: seed %u fails after %zu steps: %s\n", seed, run.stepsRun, run.finding->c_str());
        const std::optional<std::string> again = replay(game, run.actions);
        if (!again) {
            std::printf("monkey: the %zu steps did not fail again when replayed; they were:\n", run.actions.size());
            for (const Action& action : run.actions)
                std::printf("  %s\n", describe(action).c_str());
            continue;
        }
        const std::vector<Action> shortest = minimize(game, run.actions, *again, shrinkSeconds);
        std::printf("monkey: seed %u, the shortest sequence found that still fails (%zu steps): %s\n", seed,
                    shortest.size(), replay(game, shortest).value_or("(passed this time)").c_str());
        for (const Action& action : shortest)
            std::printf("  %s\n", describe(action).c_str());
        std::fflush(stdout);
    }
    std::printf("monkey: seeds %u to %u, %zu steps, %zu findings\n", first, first + seeds - 1, stepsRun, findings);
}

} // namespace
} // namespace vexa::test::monkey
