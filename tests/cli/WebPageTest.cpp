// export to a web page: the page run in a real browser (headless Chromium), its
// rows, their order, the counts line and the escaping of hostile texts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <cstring>
#include <regex>
#include <tuple>
#include <unistd.h>

#include "CliSandbox.h"

namespace {

// Chromium from PATH, or nothing when the machine has none.
std::string ChromiumPath() {
    const char* path = std::getenv("PATH");
    std::string_view rest = path ? path : "";
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const std::filesystem::path candidate = std::filesystem::path(rest.substr(0, colon)) / "chromium";
        if (access(candidate.c_str(), X_OK) == 0) return candidate.string();
        rest.remove_prefix(colon == std::string_view::npos ? rest.size() : colon + 1);
    }
    return {};
}

struct Row {
    bool Hidden;
    std::vector<std::string> Cells;
};

struct ShownPage {
    std::string Dom;
    std::string Counts;
    std::vector<Row> Rows;
    std::vector<std::string> Shown(std::size_t column) const {
        std::vector<std::string> texts;
        for (const Row& row : Rows) {
            if (!row.Hidden) texts.push_back(row.Cells.at(column));
        }
        return texts;
    }
};

// The text of serialized markup: the browser writes "&", "<", ">" and the
// no-break space as references.
std::string Text(const std::string& markup) {
    std::string text;
    for (std::size_t at = 0; at < markup.size();) {
        bool replaced = false;
        for (const auto& [reference, character] : {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&nbsp;", "\u00A0"}, {"&amp;", "&"}}) {
            if (markup.compare(at, std::strlen(reference), reference) == 0) {
                text += character;
                at += std::strlen(reference);
                replaced = true;
                break;
            }
        }
        if (!replaced) text += markup[at++];
    }
    return text;
}

// The page at file (in the sandbox) with the address ending in fragment, as the
// browser's document stands once it has loaded.
ShownPage OpenInBrowser(const CliSandbox& box, const std::string& chromium, const std::string& file,
                        const std::string& fragment) {
    std::filesystem::create_directory(box.Path("profile"));
    const RunResult run = box.RunProgram({chromium, "--headless", "--no-sandbox", "--disable-gpu",
                                          "--disable-background-networking", "--disable-component-update",
                                          "--disable-sync", "--no-first-run", "--user-data-dir=" + box.Path("profile"),
                                          "--dump-dom", "file://" + box.Path(file) + fragment});
    std::filesystem::remove_all(box.Path("profile"));
    EXPECT_EQ(run.Status, 0) << run.Err;
    ShownPage page{run.Out, {}, {}};
    std::smatch counts;
    if (std::regex_search(run.Out, counts, std::regex("<p id=\"counts\">([^<]*)</p>"))) page.Counts = Text(counts[1]);
    const std::size_t body = run.Out.find("<tbody>");
    const std::string rows = run.Out.substr(body, run.Out.find("</tbody>") - body);
    const std::regex rowPattern("<tr( hidden=\"\")?>(.*?)</tr>"), cellPattern("<td>([^<]*)</td>");
    for (auto row = std::sregex_iterator(rows.begin(), rows.end(), rowPattern); row != std::sregex_iterator(); ++row) {
        page.Rows.push_back({(*row)[1].matched, {}});
        const std::string cells = (*row)[2];
        for (auto cell = std::sregex_iterator(cells.begin(), cells.end(), cellPattern); cell != std::sregex_iterator();
             ++cell) {
            page.Rows.back().Cells.push_back(Text((*cell)[1]));
        }
    }
    return page;
}

TEST(ExportCommand, TakesTheFormatFromTheExtensionUnlessGiven) {
    CliSandbox box;
    box.MakeCatalogue("cat.xml", {{"--en", "Matrix"}});
    for (const auto& [file, options, page] : {std::tuple{"a.html", std::vector<std::string>{}, true},
                                              {"b.HTM", {}, true},
                                              {"c.csv", {}, false},
                                              {"d.html.txt", {"--format", "csv"}, false},
                                              {"e.txt", {"--format", "html"}, true},
                                              {"f.html", {"--format=csv"}, false}}) {
        std::vector<std::string> arguments{"export", "cat.xml", file};
        arguments.insert(arguments.end(), options.begin(), options.end());
        ASSERT_EQ(box.Run(arguments).Status, 0) << file;
        EXPECT_EQ(box.Read(file).starts_with("<!DOCTYPE html>"), page) << file;
        EXPECT_EQ(box.Read(file).starts_with("K,S1,"), !page) << file;
    }
    EXPECT_EQ(box.Run({"export", "cat.xml", "g.html", "--format", "pdf"}).Status, 1);
    EXPECT_EQ(box.Run({"export", "cat.xml", "g.html.txt"}).Status, 1);
    EXPECT_FALSE(box.Exists("g.html") || box.Exists("g.html.txt"));
}

TEST(WebPage, SearchesSortsAndEscapesInABrowser) {
    const std::string chromium = ChromiumPath();
    if (chromium.empty()) GTEST_SKIP() << "chromium is not installed";
    CliSandbox box;
    ASSERT_EQ(box.Run({"new", "x&<i>.xml"}).Status, 0);
    // Empty cells are nulls; the CD numbers' order is neither the titles' nor the texts' order.
    box.Write("films.csv",
              "S1,S2,S3,S4,S5,S6,S7\n"
              "Sova,Sova,10,CZ,,1,\n"
              "Chata,Chata,2,EN,CZ,,čajovna\n"
              "Šakal,Šakal,100,EN,\"EN,CZ\",2,\n"
              "Hora,Hora,,DE,CZ,1,Horský\n"
              "<script>alert(1)</script>,\"\"\" onmouseover=\"\"alert(2)\",7,EN,CZ,1,<b>tučně</b> &amp;\n"
              "Čaj,ČAJ o páté,-3,CZ,,1,\n");
    const RunResult imported = box.Run({"import", "x&<i>.xml", "films.csv"});
    ASSERT_EQ(imported.Status, 0) << imported.Err;
    ASSERT_EQ(box.Run({"export", "x&<i>.xml", "films.html", "--sort", "K"}).Status, 0);

    // The counts line is the summary's count lines, joined.
    std::string summary;
    const std::string summaryText = box.Run({"summary", "x&<i>.xml"}).Out;
    for (std::size_t start = summaryText.find('\n') + 1, end; start < summaryText.size(); start = end + 1) {
        end = summaryText.find('\n', start);
        if (end == start) continue;
        summary += (summary.empty() ? "" : " · ") + summaryText.substr(start, end - start);
    }
    const std::vector<std::string> hostile{"<script>alert(1)</script>", "\" onmouseover=\"alert(2)", "7", "EN", "CZ",
                                           "1", "<b>tučně</b> &amp;"};

    const ShownPage plain = OpenInBrowser(box, chromium, "films.html", "");
    EXPECT_NE(plain.Dom.find("<html lang=\"cs\">"), std::string::npos);
    EXPECT_NE(plain.Dom.find("<title>Kinovka – x&amp;&lt;i&gt;.xml</title>"), std::string::npos);
    EXPECT_EQ(plain.Counts, summary);
    EXPECT_EQ(plain.Shown(0), (std::vector<std::string>{"Sova", "Chata", "Šakal", "Hora", hostile[0], "Čaj"}));
    ASSERT_EQ(plain.Rows.size(), 6u);
    EXPECT_EQ(plain.Rows[3].Cells, (std::vector<std::string>{"Hora", "Hora", "", "DE", "CZ", "1", "Horský"}));
    EXPECT_EQ(plain.Rows[4].Cells, hostile);
    EXPECT_EQ(plain.Dom.find("<b>"), std::string::npos);
    EXPECT_EQ(plain.Dom.find("onmouseover=\"alert"), plain.Dom.find("\" onmouseover=\"alert") + 2);

    // Czech order: "Č" after "C", "ch" after "h", "Š" after "S"; a text never sorts as a number.
    const ShownPage byTitle = OpenInBrowser(box, chromium, "films.html", "#sort=S1");
    EXPECT_EQ(byTitle.Shown(0), (std::vector<std::string>{hostile[0], "Čaj", "Hora", "Chata", "Sova", "Šakal"}));
    const ShownPage byNumber = OpenInBrowser(box, chromium, "films.html", "#sort=-S3");
    EXPECT_EQ(byNumber.Shown(2), (std::vector<std::string>{"100", "10", "7", "2", "-3", ""}));

    // Case and Czech diacritics aside, in either title or the note; the rest hidden.
    const ShownPage found = OpenInBrowser(box, chromium, "films.html", "#q=CAJ&sort=-S1");
    EXPECT_EQ(found.Counts, "2 z 6 filmů");
    EXPECT_EQ(found.Shown(0), (std::vector<std::string>{"Chata", "Čaj"}));
    EXPECT_EQ(found.Rows.size(), 6u);
    EXPECT_EQ(OpenInBrowser(box, chromium, "films.html", "#q=%C5%A1ak").Shown(0), std::vector<std::string>{"Šakal"});
    EXPECT_EQ(OpenInBrowser(box, chromium, "films.html", "#q=%3Cb").Counts, "1 z 6 filmů");
}

// A large catalogue is shown a part at a time; a search still finds its last film.
TEST(WebPage, FindsFilmsBeyondTheFirstRowsShown) {
    const std::string chromium = ChromiumPath();
    if (chromium.empty()) GTEST_SKIP() << "chromium is not installed";
    CliSandbox box;
    ASSERT_EQ(box.Run({"new", "big.xml"}).Status, 0);
    std::string csv = "S1,S3\n";
    for (int i = 0; i < 3000; ++i) csv += "Film " + std::to_string(i) + "," + std::to_string(i) + "\n";
    box.Write("films.csv", csv + "Žirafa,3000\n");
    ASSERT_EQ(box.Run({"import", "big.xml", "films.csv"}).Status, 0);
    ASSERT_EQ(box.Run({"export", "big.xml", "big.html", "--sort", "S3"}).Status, 0);

    const ShownPage page = OpenInBrowser(box, chromium, "big.html", "#q=zira");
    EXPECT_EQ(page.Counts, "1 z 3001 filmů");
    EXPECT_EQ(page.Shown(0), std::vector<std::string>{"Žirafa"});
    const ShownPage reversed = OpenInBrowser(box, chromium, "big.html", "#sort=-S3");
    ASSERT_FALSE(reversed.Rows.empty());
    EXPECT_EQ(reversed.Rows.front().Cells.at(0), "Žirafa");
}

}  // namespace
