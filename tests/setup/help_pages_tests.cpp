// The installed help: every link of every installed page leads to an
// installed file, the entry page is the two-frame set, and the contents
// open their pages in the right-hand frame.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files.h"
#include "harness.h"
#include "setup_driver.h"

using namespace setup_test;

namespace {

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The values of every attribute `name` (href, src) in the page.
std::vector<std::string> AttributeValues(const std::string& page, const std::string& name) {
    std::vector<std::string> values;
    const std::string lower = Lower(page);
    const std::string opening = name + "=\"";
    for (size_t at = lower.find(opening); at != std::string::npos; at = lower.find(opening, at + 1)) {
        const size_t start = at + opening.size();
        const size_t end = page.find('"', start);
        if (end == std::string::npos) break;
        values.push_back(page.substr(start, end - start));
    }
    return values;
}

// A link as a file path: %20 turned back into blanks, any #part dropped,
// relative to the page's folder.
std::string LinkedFile(const std::string& pageFolder, std::string link) {
    link = link.substr(0, link.find('#'));
    std::string path;
    for (size_t i = 0; i < link.size(); ++i) {
        if (link.compare(i, 3, "%20") == 0) {
            path += ' ';
            i += 2;
        } else {
            path += link[i] == '/' ? '\\' : link[i];
        }
    }
    return pageFolder + "\\" + path;
}

class HelpPagesTest : public SetupTest {};

}  // namespace

TEST_F(HelpPagesTest, EveryLinkOfTheInstalledPagesResolves) {
    {
        SetupRun setup(kSetup, "");
        setup.InstallWithDefaults();
    }
    int links = 0;
    int pages = 0;
    for (const PayloadFile& file : PayloadInInstallOrder()) {
        const std::string& page = file.installed;
        if (page.size() < 4 || page.compare(page.size() - 4, 4, ".htm") != 0) continue;
        ++pages;
        SCOPED_TRACE(page);
        const harness::FileBytes text = harness::ReadFileBytes(folder + "\\" + page);
        ASSERT_TRUE(text.found);
        for (const char* attribute : {"href", "src"}) {
            for (const std::string& link : AttributeValues(text.bytes, attribute)) {
                if (link.rfind("http:", 0) == 0 || link.rfind("https:", 0) == 0 || link[0] == '#')
                    continue;
                ++links;
                EXPECT_EQ(std::string::npos, link.find(' ')) << "blank not written as %20: " << link;
                EXPECT_TRUE(harness::FileExists(LinkedFile(folder + "\\help", link))) << link;
            }
        }
    }
    // The seven pages link each other and show the four images.
    EXPECT_EQ(7, pages);
    EXPECT_GE(links, 20);
}

TEST_F(HelpPagesTest, EntryPageShowsContentsBesideTheIntroduction) {
    const std::string source = harness::WinPath(HL_SETUP_PAYLOAD_DIR) + "\\help\\";
    const std::string entry = Lower(harness::ReadFileBytes(source + "help.htm").bytes);
    EXPECT_NE(std::string::npos, entry.find("<frameset cols=\"21%,79%\""));
    const std::vector<std::string> frames = AttributeValues(entry, "src");
    ASSERT_EQ(2u, frames.size());
    EXPECT_EQ("table%20of%20contents.htm", frames[0]);
    EXPECT_EQ("introduction.htm", frames[1]);
    EXPECT_NE(std::string::npos, entry.find("name=\"frame2\""));

    // Every entry of the contents opens in that frame.
    const std::string contents = harness::ReadFileBytes(source + "table of contents.htm").bytes;
    const std::vector<std::string> targets = AttributeValues(contents, "target");
    EXPECT_EQ(AttributeValues(contents, "href").size(), targets.size());
    EXPECT_GE(targets.size(), 6u);
    for (const std::string& target : targets) EXPECT_EQ("Frame2", target);
}
