// export to a web page: the page run in a real browser (headless Chromium), its
// rows, their order, the counts line and the escaping of hostile texts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <cstring>
#include <regex>
#include <sstream>
#include <tuple>
#include <unistd.h>

#include "CliSandbox.h"

namespace {

// A program from PATH, or nothing when the machine has none.
std::string ProgramPath(std::string_view name) {
    const char* path = std::getenv("PATH");
    std::string_view rest = path ? path : "";
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const std::filesystem::path candidate = std::filesystem::path(rest.substr(0, colon)) / name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate.string();
        rest.remove_prefix(colon == std::string_view::npos ? rest.size() : colon + 1);
    }
    return {};
}

struct Row {
    bool Striped;
    std::vector<std::string> Cells;
};

struct ShownPage {
    std::string Dom;
    std::string Counts;
    std::vector<Row> Rows;
    std::string Probe;
    std::vector<std::string> Shown(std::size_t column) const {
        std::vector<std::string> texts;
        for (const Row& row : Rows) texts.push_back(row.Cells.at(column));
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

RunResult RunChromium(const CliSandbox& box, const std::string& chromium, std::vector<std::string> arguments) {
    std::filesystem::create_directory(box.Path("profile"));
    std::vector<std::string> argv{chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                                  "--disable-background-networking", "--disable-component-update", "--disable-sync",
                                  "--no-first-run", "--user-data-dir=" + box.Path("profile")};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const RunResult run = box.RunProgram(argv);
    std::filesystem::remove_all(box.Path("profile"));
    EXPECT_EQ(run.Status, 0) << run.Err;
    return run;
}

// The page at file (in the sandbox) with the address ending in fragment, as the
// browser's document stands once it has loaded. With a probe, the page is opened
// in a frame of frameSize ("width,height") instead, and the probe, the body of a
// function of the frame's `window` and `document` run once it has loaded, returns Probe.
ShownPage OpenInBrowser(const CliSandbox& box, const std::string& chromium, std::string file,
                        const std::string& fragment, const std::string& probe = "",
                        const std::string& frameSize = "1280,800") {
    if (!probe.empty()) {
        const std::size_t comma = frameSize.find(',');
        box.Write("probe.html", "<!DOCTYPE html><body style=\"margin:0\"><iframe src=\"" + file + fragment +
                                    "\" style=\"border:0;width:" + frameSize.substr(0, comma) + "px;height:" +
                                    frameSize.substr(comma + 1) + "px\"></iframe><pre id=\"probe\"></pre><script>"
                                    "const frame = document.querySelector(\"iframe\"), out = document.getElementById(\"probe\");"
                                    "frame.onload = () => out.textContent = ((window, document) => {" + probe +
                                    "})(frame.contentWindow, frame.contentDocument);"
                                    "</script></body>");
        file = "probe.html";
    }
    const RunResult run = RunChromium(box, chromium, {"--allow-file-access-from-files", "--dump-dom",
                                                      "file://" + box.Path(file) + (probe.empty() ? fragment : "")});
    ShownPage page{run.Out, {}, {}, {}};
    std::smatch found;
    if (std::regex_search(run.Out, found, std::regex("<p id=\"counts\"[^>]*>([^<]*)</p>"))) page.Counts = Text(found[1]);
    const std::size_t probed = run.Out.find("<pre id=\"probe\">");
    if (probed != std::string::npos) {
        page.Probe = Text(run.Out.substr(probed + 16, run.Out.find("</pre>", probed) - probed - 16));
    }
    const std::size_t body = run.Out.find("<tbody>");
    if (body == std::string::npos) return page;
    const std::string rows = run.Out.substr(body, run.Out.find("</tbody>") - body);
    const std::regex rowPattern("<tr((?: [a-z-]+=\"[^\"]*\")*)>(.*?)</tr>"), cellPattern("<td>([^<]*)</td>");
    for (auto row = std::sregex_iterator(rows.begin(), rows.end(), rowPattern); row != std::sregex_iterator(); ++row) {
        const std::string attributes = (*row)[1];
        if (attributes.find("class=\"gap\"") != std::string::npos) continue;
        page.Rows.push_back({attributes.find("class=\"even\"") != std::string::npos, {}});
        const std::string cells = (*row)[2];
        for (auto cell = std::sregex_iterator(cells.begin(), cells.end(), cellPattern); cell != std::sregex_iterator();
             ++cell) {
            page.Rows.back().Cells.push_back(Text((*cell)[1]));
        }
    }
    return page;
}

// A catalogue of films "Film 0" ... with the given note, and a last one, "Žirafa".
void MakeFilmsCatalog(const CliSandbox& box, int films, const std::string& note) {
    ASSERT_EQ(box.Run({"new", "big.xml"}).Status, 0);
    std::string csv = "S1,S3,S7\n";
    for (int i = 0; i < films; ++i) csv += "Film " + std::to_string(i) + "," + std::to_string(i) + "," + note + "\n";
    box.Write("films.csv", csv + "Žirafa," + std::to_string(films) + ",\n");
    ASSERT_EQ(box.Run({"import", "big.xml", "films.csv"}).Status, 0);
    ASSERT_EQ(box.Run({"export", "big.xml", "big.html", "--sort", "S3"}).Status, 0);
}

TEST(ExportCommand, TakesTheFormatFromTheExtensionUnlessGiven) {
    CliSandbox box;
    box.MakeCatalog("cat.xml", {{"--en", "Matrix"}});
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
    const std::string chromium = ProgramPath("chromium");
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
    // The rows above were made by the page's script under its own policy, which names it by hash.
    EXPECT_NE(plain.Dom.find("content=\"default-src 'none'; script-src 'sha256-"), std::string::npos);
    EXPECT_EQ(plain.Dom.find("onmouseover=\"alert"), plain.Dom.find("\" onmouseover=\"alert") + 2);

    // Czech order: "Č" after "C", "ch" after "h", "Š" after "S"; a text never sorts as a number.
    const ShownPage byTitle = OpenInBrowser(box, chromium, "films.html", "#sort=S1");
    EXPECT_EQ(byTitle.Shown(0), (std::vector<std::string>{hostile[0], "Čaj", "Hora", "Chata", "Sova", "Šakal"}));
    // Only the sort column's header claims an order.
    const std::size_t thead = byTitle.Dom.find("<thead>");
    const std::string head = byTitle.Dom.substr(thead, byTitle.Dom.find("</thead>") - thead);
    EXPECT_NE(head.find("data-field=\"S1\" data-searched=\"\" aria-sort=\"ascending\""), std::string::npos);
    EXPECT_EQ(head.find("aria-sort", head.find("aria-sort") + 1), std::string::npos);
    const ShownPage byNumber = OpenInBrowser(box, chromium, "films.html", "#sort=-S3");
    EXPECT_EQ(byNumber.Shown(2), (std::vector<std::string>{"100", "10", "7", "2", "-3", ""}));

    // Case and Czech diacritics aside, in either title or the note; the rest hidden.
    const ShownPage found = OpenInBrowser(box, chromium, "films.html", "#q=CAJ&sort=-S1");
    EXPECT_EQ(found.Counts, "2 z 6 filmů");
    EXPECT_EQ(found.Shown(0), (std::vector<std::string>{"Chata", "Čaj"}));
    EXPECT_EQ(found.Rows.size(), 2u);
    EXPECT_FALSE(found.Rows[0].Striped);
    EXPECT_TRUE(found.Rows[1].Striped);
    EXPECT_EQ(OpenInBrowser(box, chromium, "films.html", "#q=%C5%A1ak").Shown(0), std::vector<std::string>{"Šakal"});
    EXPECT_EQ(OpenInBrowser(box, chromium, "films.html", "#q=%3Cb").Counts, "1 z 6 filmů");
    box.MakeCatalog("one.xml", {{"--en", "Matrix"}});
    ASSERT_EQ(box.Run({"export", "one.xml", "one.html"}).Status, 0);
    EXPECT_EQ(OpenInBrowser(box, chromium, "one.html", "#q=matrix").Counts, "1 z 1 filmu");
}

// Only the rows in view exist, however many films; the last can be scrolled to,
// found and sorted to the top.
TEST(WebPage, ShowsAHundredThousandFilmsARowsWorthAtATime) {
    const std::string chromium = ProgramPath("chromium");
    if (chromium.empty()) GTEST_SKIP() << "chromium is not installed";
    CliSandbox box;
    MakeFilmsCatalog(box, 100000, "");

    const ShownPage page = OpenInBrowser(box, chromium, "big.html", "", R"js(
      const view = document.getElementById("view"), rows = () => Array.from(view.querySelectorAll("tr:not(.gap)")).slice(1);
      const atOpen = rows().length;
      for (let step = 0; step < 5; ++step) {
        view.scrollTop = view.scrollHeight;
        view.dispatchEvent(new Event("scroll"));
      }
      const last = rows().at(-1).getBoundingClientRect(), shown = view.getBoundingClientRect();
      const scrolled = [atOpen, rows().length, rows().at(-1).cells[0].textContent,
                        last.top >= shown.top && last.bottom <= shown.bottom + 1];
      const address = hash => {
        window.history.replaceState(null, "", hash);
        window.dispatchEvent(new Event("hashchange"));
      };
      address("#q=zira");
      const found = [document.getElementById("counts").textContent, rows().map(tr => tr.cells[0].textContent)];
      address("#");
      document.querySelector("th button").click();
      document.querySelector("th button").click();
      return [...scrolled, ...found, rows().length, rows()[0].cells[0].textContent].join(";");
    )js");
    std::vector<std::string> probe;
    std::istringstream line(page.Probe);
    for (std::string part; std::getline(line, part, ';');) probe.push_back(part);
    ASSERT_EQ(probe.size(), 8u) << page.Probe;
    for (std::size_t rowCount : {0, 1, 6}) EXPECT_LT(std::stoi(probe[rowCount]), 300) << rowCount;
    EXPECT_EQ(probe[2], "Žirafa");
    EXPECT_EQ(probe[3], "true");
    EXPECT_EQ(probe[4], "1 z 100001 filmů");
    EXPECT_EQ(probe[5], "Žirafa");
    EXPECT_EQ(probe[7], "Žirafa");
}

// At a phone's width the page does not scroll sideways, the table does; the titles
// stay whole and in sight, and the counts stay one line.
TEST(WebPage, FitsAPhone) {
    const std::string chromium = ProgramPath("chromium");
    if (chromium.empty()) GTEST_SKIP() << "chromium is not installed";
    CliSandbox box;
    MakeFilmsCatalog(box, 200, std::string(40, 'x') + " poznámka která se nevejde na jeden řádek telefonu");
    const ShownPage page = OpenInBrowser(box, chromium, "big.html", "", R"js(
      const view = document.getElementById("view"), heads = Array.from(document.querySelectorAll("th"));
      const measure = document.createElement("canvas").getContext("2d");
      const broken = heads.filter(th => {
        measure.font = window.getComputedStyle(th.querySelector("button")).font;
        const widest = Math.max(...th.querySelector("button").textContent.split(" ").map(w => measure.measureText(w).width));
        return widest > th.querySelector("button").clientWidth;
      });
      view.scrollTop = view.scrollHeight / 2;
      view.dispatchEvent(new Event("scroll"));
      const stuck = heads.every(th => Math.abs(th.getBoundingClientRect().top - view.getBoundingClientRect().top) < 2);
      const counts = document.getElementById("counts");
      return [broken.map(th => th.dataset.field).join(" "), stuck,
              counts.offsetHeight < 1.5 * parseFloat(window.getComputedStyle(counts).lineHeight),
              document.documentElement.scrollWidth, view.scrollWidth > view.clientWidth].join(";");
    )js", "390,844");
    EXPECT_EQ(page.Probe, ";true;true;390;true");
}

// Printing prints every film, the column titles on every page.
TEST(WebPage, PrintsEveryFilmUnderTheTitles) {
    const std::string chromium = ProgramPath("chromium"), pdftotext = ProgramPath("pdftotext");
    if (chromium.empty() || pdftotext.empty()) GTEST_SKIP() << "chromium or pdftotext is not installed";
    CliSandbox box;
    MakeFilmsCatalog(box, 300, "");
    RunChromium(box, chromium, {"--no-pdf-header-footer", "--print-to-pdf=" + box.Path("big.pdf"),
                                "file://" + box.Path("big.html")});
    const std::string text = box.RunProgram({pdftotext, box.Path("big.pdf"), "-"}).Out;
    const std::size_t second = text.find('\f') + 1, third = text.find('\f', second);
    ASSERT_NE(third, std::string::npos) << "fewer than three pages";
    for (const char* title : {"Název", "anglicky", "česky", "č. CD", "Znění", "Titulky", "ks CD", "Poznámka"}) {
        EXPECT_NE(text.substr(second, third - second).find(title), std::string::npos) << title;
    }
    EXPECT_NE(text.find("Film 299"), std::string::npos);
    EXPECT_NE(text.find("Žirafa"), std::string::npos);
}

TEST(WebPage, HasALoanColumnOnlyWhileADiscIsLent) {
    const std::string chromium = ProgramPath("chromium");
    if (chromium.empty()) GTEST_SKIP() << "chromium is not installed";
    CliSandbox box;
    box.MakeCatalog("cat.xml", {{"--en", "Alien", "--cd", "4"}, {"--en", "Brazil", "--cd", "5"}});
    ASSERT_EQ(box.Run({"export", "cat.xml", "before.html"}).Status, 0);
    EXPECT_EQ(box.Read("before.html").find("Půjčeno"), std::string::npos);
    ASSERT_EQ(box.Run({"lend", "cat.xml", "5", "Petr <b>", "--date", "2026-12-01"}).Status, 0);
    ASSERT_EQ(box.Run({"export", "cat.xml", "after.html"}).Status, 0);
    const ShownPage page = OpenInBrowser(box, chromium, "after.html", "");
    EXPECT_NE(page.Dom.find("data-field=\"loan\"><button type=\"button\">Půjčeno<"), std::string::npos);
    EXPECT_EQ(page.Shown(7), (std::vector<std::string>{"", "Petr <b>, od 1. 12. 2026"}));
    EXPECT_EQ(OpenInBrowser(box, chromium, "after.html", "#sort=-loan").Shown(0),
              (std::vector<std::string>{"Brazil", "Alien"}));
}

}  // namespace
