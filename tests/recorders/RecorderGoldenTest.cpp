#include "converter/RecorderFormat.h"
#include "converter/RecorderLines.h"
#include "fuzz/RecorderReference.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct GoldenCase {
    const char* name; // of the .expected and .notes files
    RecorderFormat format;
    std::vector<std::string> inputs;
};

void PrintTo(const GoldenCase& c, std::ostream* os) {
    *os << c.name;
}

std::string Data(const std::string& name) {
    return ReadBytes(DataFile("recorders/" + name));
}

reference::Result Convert(RecorderFormat format, const std::vector<std::string>& files) {
    switch (format) {
    case RecorderFormat::NikonRaw:
        return reference::Convert<recorders::NikonRawReader>(files, false);
    case RecorderFormat::Sdr:
        return reference::Convert<recorders::SdrReader>(files, true);
    default:
        return reference::Convert<recorders::GsiReader>(files, false);
    }
}

reference::Result Plain(RecorderFormat format, const std::vector<std::string>& files) {
    switch (format) {
    case RecorderFormat::NikonRaw:
        return reference::NikonRaw(files);
    case RecorderFormat::Sdr:
        return reference::Sdr(files);
    default:
        return reference::Gsi(files);
    }
}

RecorderFormat Recognised(const std::string& bytes) {
    std::vector<std::string_view> first;
    const auto lines = SplitRecorderLines(bytes, false);
    for (std::size_t i = 0; i < lines.size() && i < 10; ++i) {
        first.push_back(lines[i].text);
    }
    return RecogniseFormat(first);
}

class RecorderGolden : public testing::TestWithParam<GoldenCase> {};

// Several files in one conversion: units, target height and station block start
// afresh in each.
TEST_P(RecorderGolden, ConvertsToTheExpectedBytesAndReportEntries) {
    const GoldenCase& c = GetParam();
    std::vector<std::string> files;
    for (const std::string& input : c.inputs) {
        files.push_back(Data(input));
        EXPECT_EQ(Recognised(files.back()), c.format) << input;
    }
    const reference::Result result = Convert(c.format, files);
    EXPECT_EQ(result.obsbieg, Data(std::string(c.name) + ".expected"));
    std::string entries;
    for (const reference::Entry& e : result.entries) {
        entries += c.inputs[e.file] + ":" + std::to_string(e.line) + ": " + e.reason + "\n";
    }
    EXPECT_EQ(entries, Data(std::string(c.name) + ".notes"));
    EXPECT_EQ(result, Plain(c.format, files)) << "the plain rendering disagrees";
}

INSTANTIATE_TEST_SUITE_P(
    Files, RecorderGolden,
    testing::Values(GoldenCase{"nikon",
                               RecorderFormat::NikonRaw,
                               {"nikon-metres-gons.raw", "nikon-feet-dms-horizon.raw",
                                "nikon-usfeet-mils.raw", "nikon-defaults.raw"}},
                    GoldenCase{"sdr",
                               RecorderFormat::Sdr,
                               {"sdr33-gon-metres.sdr", "sdr2x-degrees-feet.sdr", "sdr-mils.sdr"}},
                    GoldenCase{"gsi", RecorderFormat::Gsi, {"gsi8.gsi", "gsi16.gsi"}},
                    // The examples of the manual's chapters.
                    GoldenCase{"manual-nikon", RecorderFormat::NikonRaw, {"manual-nikon.raw"}},
                    GoldenCase{"manual-sdr", RecorderFormat::Sdr, {"manual-sdr.sdr"}},
                    GoldenCase{"manual-gsi", RecorderFormat::Gsi, {"manual-gsi.gsi"}}),
    [](const auto& info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

TEST(RecogniseFormat, KmxFilesAndStrangers) {
    for (const char* kmx : {"worked-example.txt", "edge-cases.txt", "polish.txt"}) {
        EXPECT_EQ(Recognised(ReadBytes(DataFile(kmx))), RecorderFormat::Kmx685) << kmx;
    }
    EXPECT_EQ(Recognised("Dear surveyor,\nthis is a letter.\n"), RecorderFormat::Unknown);
    EXPECT_EQ(Recognised(""), RecorderFormat::Unknown);
    // One odd line does not outvote the rest.
    EXPECT_EQ(Recognised("C,1,,,,,1.5\nSS,2,1,2,3,4\nSS,3,1,2,3,4\n"), RecorderFormat::NikonRaw);
}

} // namespace
