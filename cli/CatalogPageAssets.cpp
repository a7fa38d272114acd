#include "cli/CatalogPageAssets.h"

// The grid's sort columns have red titles; so has the page's.
const std::string_view kCatalogPageStyle = R"css(
body{font:14px/1.35 system-ui,"DejaVu Sans",sans-serif;margin:0;color:#222;background:#fff}
header{position:sticky;top:0;z-index:1;background:#fff;padding:8px 12px;border-bottom:1px solid #bbb}
h1{font-size:1.15em;margin:0 0 6px}
#q{font:inherit;width:min(28em,100%);padding:3px 6px;box-sizing:border-box}
#counts{margin:6px 0 0;color:#444}
table{border-collapse:collapse;width:100%;table-layout:fixed}
th,td{border:1px solid #ddd;padding:2px 6px;text-align:left;vertical-align:top;overflow-wrap:anywhere;white-space:pre-line}
th{background:#f0f0f0}
th button{all:unset;cursor:pointer;font-weight:bold;display:block}
th button:focus-visible{outline:2px solid #36c}
th[aria-sort=ascending] button,th[aria-sort=descending] button{color:#f00}
th[aria-sort=ascending] button::after{content:" \25B2"}
th[aria-sort=descending] button::after{content:" \25BC"}
th[data-number],td:nth-child(3),td:nth-child(6){text-align:right}
tbody tr:nth-child(even){background:#f8f8f8}
@media print{
@page{margin:15mm}
body{font-size:9pt}
header{position:static;border:0;padding:0 0 4mm}
#q{display:none}
thead{display:table-header-group}
tr{break-inside:avoid}
th{background:none}
th button::after{content:none!important}
}
)css";

// Films are data (the JSON in script#films-data: one array of the seven values
// per film, in the catalogue's order) and become rows lazily: a row element is
// made the first time the table reaches its film, and kept. After each search
// and each sort the table holds, in the current order, the shortest prefix of
// all films that shows 400 rows passing the search (or all of them); the rows
// the search leaves out carry "hidden". Scrolling near the end lengthens the
// prefix, and printing shows every film.
const std::string_view kCatalogPageScript = R"js(
"use strict";
(() => {
  const films = JSON.parse(document.getElementById("films-data").textContent);
  const table = document.getElementById("films");
  const body = table.tBodies[0];
  const heads = Array.from(table.tHead.rows[0].cells);
  const box = document.getElementById("q");
  const counts = document.getElementById("counts");
  const summary = counts.textContent;
  const collator = new Intl.Collator("cs");
  const firstRows = 400;  // rows that pass the search, shown at first and added per step

  // As the window's typed search folds: letter case and Czech diacritics go.
  const plain = {á: "a", č: "c", ď: "d", é: "e", ě: "e", í: "i", ň: "n", ó: "o",
                 ř: "r", š: "s", ť: "t", ú: "u", ů: "u", ý: "y", ž: "z"};
  const fold = text => text.toLowerCase().replace(/[áčďéěíňóřšťúůýž]/g, c => plain[c]);

  let query = "";
  let sortColumn = -1;  // -1: the catalogue's own order
  let descending = false;
  let searchKeys = null;  // folded titles and note of each film, made at the first search
  let passes = films.map(() => true);
  let sequence = films.map((film, i) => i);
  let rendered = 0;  // sequence[0 .. rendered) are rows of the table, in that order
  let shownRows = 0;  // of those, the rows that pass the search
  const rowOf = [];
  const orders = new Map();  // "column,descending" -> film numbers in that order

  // A row gets its cells when it is first shown: a search that leaves most films
  // out then costs one empty hidden row for each.
  function placeRow(i) {
    const tr = rowOf[i] ??= document.createElement("tr");
    tr.hidden = !passes[i];
    if (passes[i] && !tr.cells.length) {
      for (const value of films[i]) tr.insertCell().textContent = value ?? "";
    }
    return tr;
  }

  function showMore(wanted) {
    const added = document.createDocumentFragment();
    while (rendered < sequence.length && shownRows < wanted) {
      const i = sequence[rendered++];
      added.appendChild(placeRow(i));
      if (passes[i]) ++shownRows;
    }
    body.appendChild(added);
  }

  // Which films pass the search, and the counts line for it.
  function search() {
    const wanted = fold(query).replaceAll("\0", "");
    if (wanted && !searchKeys) {
      searchKeys = films.map(film => fold((film[0] ?? "") + "\0" + (film[1] ?? "") + "\0" + (film[6] ?? "")));
    }
    passes = films.map((film, i) => !wanted || searchKeys[i].includes(wanted));
    const total = passes.reduce((sum, pass) => sum + pass, 0);
    counts.textContent = query ? `${total} z ${films.length} filmů` : summary;
  }

  // The table starts again from the top of the order: after a new search or
  // order it never holds more rows than that needs.
  function showFromTop() {
    body.replaceChildren();
    rendered = 0;
    shownRows = 0;
    showMore(firstRows);
  }

  // Ties keep the catalogue's order, in either direction; a null sorts first.
  function order(column, down) {
    const name = column + "," + down;
    if (!orders.has(name)) {
      const sign = down ? -1 : 1;
      const values = films.map(film => film[column]);
      const compare = heads[column].hasAttribute("data-number")
          ? (a, b) => sign * ((values[a] ?? -Infinity) - (values[b] ?? -Infinity) || 0) || a - b
          : (a, b) => sign * collator.compare(values[a] ?? "", values[b] ?? "") || a - b;
      orders.set(name, films.map((film, i) => i).sort(compare));
    }
    return orders.get(name);
  }

  function sortRows() {
    sequence = sortColumn < 0 ? films.map((film, i) => i) : order(sortColumn, descending);
    heads.forEach((head, column) => head.setAttribute("aria-sort", column !== sortColumn ? "none"
                                                       : descending ? "descending" : "ascending"));
  }

  function readAddress() {
    const state = new URLSearchParams(location.hash.slice(1));
    query = state.get("q") ?? "";
    const sort = /^(-?)S([1-7])$/.exec(state.get("sort") ?? "");
    sortColumn = sort ? Number(sort[2]) - 1 : -1;
    descending = sort ? sort[1] === "-" : false;
  }

  function writeAddress() {
    const parts = [];
    if (query) parts.push("q=" + encodeURIComponent(query));
    if (sortColumn >= 0) parts.push("sort=" + (descending ? "-" : "") + "S" + (sortColumn + 1));
    const hash = parts.length ? "#" + parts.join("&") : "";
    if (hash !== location.hash) history.replaceState(null, "", hash || location.pathname + location.search);
  }

  function applyAddress() {
    readAddress();
    box.value = query;
    search();
    sortRows();
    showFromTop();
  }

  let pending = 0;
  box.addEventListener("input", () => {
    query = box.value;
    writeAddress();
    clearTimeout(pending);
    // A large catalogue is searched once the typing pauses, not on every key.
    pending = setTimeout(() => {
      search();
      showFromTop();
    }, films.length > 5000 ? 150 : 0);
  });
  heads.forEach((head, column) => head.querySelector("button").addEventListener("click", () => {
    descending = column === sortColumn ? !descending : false;
    sortColumn = column;
    sortRows();
    showFromTop();
    writeAddress();
  }));
  window.addEventListener("hashchange", applyAddress);
  window.addEventListener("scroll", () => {
    if (innerHeight + scrollY > document.body.offsetHeight - 2 * innerHeight) showMore(shownRows + firstRows);
  }, {passive: true});
  window.addEventListener("beforeprint", () => showMore(Infinity));

  applyAddress();
})();
)js";
