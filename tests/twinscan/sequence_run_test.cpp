// The sequence run against the recording library: every call, its
// arguments and its place.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "recording_psg.h"

namespace {

using recording::exact;
using recording::library;
using Calls = std::vector<std::string>;

class SequenceRun : public ::testing::Test {
protected:
    void SetUp() override { recording::reset(); }

    static void mode(const std::string &letter) { library().texts["mrmode"] = letter; }

    // Runs the sequence; the calls it made, and its standard output.
    static Calls run(std::string *output = nullptr)
    {
        ::testing::internal::CaptureStdout();
        pulsesequence();
        std::string printed = ::testing::internal::GetCapturedStdout();
        if (output != nullptr)
            *output = printed;
        return library().calls;
    }

    static Calls reads() { return {"getval(pwx)", "getval(pwxlvl)", "getstr(rcvrs)", "getstr(mrmode)"}; }

    static Calls preparation()
    {
        return {"status(0)",       "delay(" + exact(1.0e-4) + ")", "genPower(48, 2)",
                "genPower(56, 1)", "delay(1)",                     "status(1)"};
    }

    static Calls acquisition(const char *mask)
    {
        return {std::string("setactivercvrs(") + mask + ")", "startacq(" + exact(6e-6) + ")",
                "acquire(16384, " + exact(1.0 / 8000) + ")", "endacq()"};
    }
};

Calls joined(std::initializer_list<Calls> parts)
{
    Calls all;
    for (const Calls &part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

const std::string kObservePulse = "genRFPulse(" + exact(9.5e-6) + ", 0, " + exact(10e-6) + ", " +
                                  exact(4e-6) + ", 1)";
const std::string kDecouplerPulse = "genRFPulse(" + exact(12.5e-6) + ", 0, " + exact(10e-6) +
                                    ", " + exact(4e-6) + ", 2)";
const std::string kWaveform = "wavl_mix(kirtaW16, WALTZ16, 40, " + exact(0.9 * 90e-6) + ", 56)";

TEST_F(SequenceRun, SequentialModeExcitesAndAcquiresEachChannelInTurn)
{
    Calls expected = joined({reads(), preparation(), {kObservePulse}, acquisition("yn"),
                             {"delay(" + exact(1.0e-6) + ")", "delay(" + exact(2.5e-3) + ")",
                              kDecouplerPulse, "status(2)"},
                             acquisition("ny")});
    EXPECT_EQ(run(), expected);
}

TEST_F(SequenceRun, DecoupledModeWrapsTheSecondAcquisitionInTheWaveform)
{
    mode("d");
    Calls expected = joined(
        {reads(),
         {"getval(Hdpwr)", "getval(compH)", "getval(pw90)", "getval(arraydim)", kWaveform},
         preparation(), {kObservePulse}, acquisition("yn"),
         {"delay(" + exact(1.0e-6) + ")", "genBlankOnOff(0, 1)", "wavl_xmtron(kirtaW16 at 40)",
          "delay(" + exact(2.5e-3) + ")", kDecouplerPulse, "status(2)"},
         acquisition("ny"), {"wavl_xmtroff()", "genBlankOnOff(1, 1)"}});
    EXPECT_EQ(run(), expected);
}

TEST_F(SequenceRun, EveryOtherModeLetterPulsesBothChannelsTogether)
{
    Calls parallel = joined(
        {reads(), preparation(),
         {"delay(" + exact(2.5e-3) + ")",
          "gensim_pulse(" + exact(9.5e-6) + ", " + exact(12.5e-6) + ", 0, 0, " + exact(10e-6) +
              ", " + exact(4e-6) + ", 1, 2)",
          "status(2)"}});
    for (const char *letter : {"p", "x", "", "parallel", "D", "S"}) {
        recording::reset();
        mode(letter);
        EXPECT_EQ(run(), parallel) << "mrmode \"" << letter << "\"";
    }
    recording::reset();
    mode("sequential"); // only the first letter counts
    run();
    EXPECT_EQ(recording::calls_named("acquire").size(), 2u);
}

TEST_F(SequenceRun, ChannelsAndPhaseComeFromTheSequenceVariables)
{
    OBSch = 3;
    DECch = 4;
    oph = 2;
    run();
    EXPECT_EQ(recording::calls_named("genRFPulse"),
              (Calls{"genRFPulse(" + exact(9.5e-6) + ", 2, " + exact(10e-6) + ", " + exact(4e-6) +
                         ", 3)",
                     "genRFPulse(" + exact(12.5e-6) + ", 2, " + exact(10e-6) + ", " +
                         exact(4e-6) + ", 4)"}));
    EXPECT_EQ(recording::calls_named("genPower"), (Calls{"genPower(48, 4)", "genPower(56, 3)"}));
}

TEST_F(SequenceRun, ReceiverWarningIsPrintedAndTheSequenceGoesOn)
{
    for (const char *rcvrs : {"yyy", "y", "", "ny"}) {
        recording::reset();
        library().texts["rcvrs"] = rcvrs;
        std::string output;
        run(&output);
        EXPECT_EQ(output, "rcvrs parameter should be set to 'yy'\n") << rcvrs;
        EXPECT_EQ(recording::calls_named("endacq").size(), 2u);
    }
    recording::reset();
    std::string output;
    run(&output);
    EXPECT_EQ(output, "");
}

TEST_F(SequenceRun, DecouplingRequestAbortsBeforeAnyEvent)
{
    struct Case {
        const char *dm, *homo;
    };
    for (Case c : {Case{"y", "n"}, Case{"nnny", "n"}, Case{"nynn", "n"}, Case{"nnnn", "y"},
                   Case{"nnnn", "yes"}}) {
        recording::reset();
        mode("d");
        std::strcpy(dm, c.dm);
        std::strcpy(homo, c.homo);
        std::string output;
        Calls calls = run(&output);
        EXPECT_EQ(output, "dm should be set to 'nnnn' and homo should set to 'n'") << c.dm;
        EXPECT_EQ(calls, joined({reads(), {"psg_abort(1)"}})) << c.dm << " " << c.homo;
    }
}

TEST_F(SequenceRun, OnlyTheFirstFourDecouplerLettersCount)
{
    std::strcpy(dm, "nnnny");
    std::strcpy(homo, "ny");
    run();
    EXPECT_EQ(library().aborts, 0);
    EXPECT_EQ(recording::calls_named("status").size(), 3u);
}

TEST_F(SequenceRun, ArrayedExperimentMakesTheWaveformOnlyAtTheFirstElement)
{
    mode("d");
    library().reals["arraydim"] = 3;
    for (int element = 1; element <= 3; ++element) {
        library().calls.clear();
        ix = element;
        library().reals["Hdpwr"] = 40 + element; // later elements must not reach the waveform
        run();
        EXPECT_EQ(recording::calls_named("getval(Hdpwr)").size(), 1u);
        EXPECT_EQ(recording::calls_named("getval(arraydim)").size(), 1u);
        EXPECT_EQ(recording::calls_named("wavl_mix").size(), element == 1 ? 1u : 0u);
        EXPECT_EQ(recording::calls_named("wavl_xmtron"), Calls{"wavl_xmtron(kirtaW16 at 41)"});
    }
}

TEST_F(SequenceRun, UnarrayedExperimentMakesTheWaveformOnEveryCall)
{
    mode("d");
    library().reals["arraydim"] = 1.4; // below 1.5 counts as not arrayed
    for (int element = 1; element <= 2; ++element) {
        library().calls.clear();
        ix = element;
        library().reals["Hdpwr"] = 40 + element;
        run();
        EXPECT_EQ(recording::calls_named("wavl_mix").size(), 1u);
        EXPECT_EQ(recording::calls_named("wavl_xmtron"),
                  Calls{"wavl_xmtron(kirtaW16 at " + std::to_string(40 + element) + ")"});
    }
}

} // namespace
