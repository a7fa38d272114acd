#include "cli/CatalogPageAssets.h"

// On screen the header stays put and only main#view scrolls, both ways, so that
// the sticky column titles stay in sight above a table wider than a phone. Rows
// are striped by the script (class "even"), as only the rows in view exist. The
// grid's sort columns have red titles; so has the page's.
const std::string_view kCatalogPageStyle = R"css(
body{font:14px/1.35 system-ui,"DejaVu Sans",sans-serif;margin:0;color:#222;background:#fff;
display:flex;flex-direction:column;height:100vh;height:100dvh}
header{flex:none;display:flex;flex-wrap:wrap;align-items:center;gap:4px 12px;padding:6px 12px;border-bottom:1px solid #bbb}
h1{font-size:1.15em;margin:0;white-space:nowrap;overflow:hidden;text-overflow:ellipsis;max-width:100%}
#q{font:inherit;flex:1 1 14em;max-width:28em;padding:3px 6px;box-sizing:border-box}
#counts{flex:1 0 100%;margin:0;color:#444;white-space:nowrap;overflow-x:auto;scrollbar-width:none;text-overflow:ellipsis}
#view{flex:1;min-height:0;overflow:auto;overflow-anchor:none}
table{border-collapse:collapse;width:100%;table-layout:fixed}
th,td{border:1px solid #ddd;padding:2px 6px;text-align:left;vertical-align:top}
td{overflow-wrap:anywhere;white-space:pre-line}
th{position:sticky;top:0;z-index:1;background:#f0f0f0;box-shadow:0 1px 0 #bbb;font-weight:bold}
th button{all:unset;cursor:pointer;display:block;width:100%}
th button:focus-visible{outline:2px solid #36c}
th .printed{display:none}
th[aria-sort] button{color:#f00}
th[aria-sort=ascending] .arrow::after{content:" \25B2"}
th[aria-sort=descending] .arrow::after{content:" \25BC"}
tr.even{background:#f8f8f8}
tr.gap td{border:0;padding:0}
@media print{
@page{margin:15mm}
body{display:block;height:auto;font-size:9pt}
header{display:block;border:0;padding:0 0 4mm}
#q{display:none}
#counts{white-space:normal}
#view{overflow:visible}
table{min-width:0}
thead{display:table-header-group}
tr{break-inside:avoid}
th{position:static;background:none;box-shadow:none}
th button{display:none}
th .printed{display:inline}
}
)css";

// Films are data (the JSON in script#films-data) and only the rows in view,
// with a viewport's height more above and below, are table rows: two empty
// "gap" rows stand in for the others, as tall as they would be. Row heights
// vary (texts wrap), so each film's height is measured when it is first shown
// at the current width, and a film not shown yet counts as the mean of those
// measured. Printing makes a row of every film that passes the search.
//
// Sorting needs no collation in the browser: the page carries each text
// column's Czech collation ranks, so an order is one numeric sort.
const std::string_view kCatalogPageScript = R"js(
"use strict";
(() => {
  const films = JSON.parse(document.getElementById("films-data").textContent);
  const ranks = JSON.parse(document.getElementById("film-ranks").textContent);
  const view = document.getElementById("view");
  const table = document.getElementById("films");
  const body = table.tBodies[0];
  const heads = Array.from(table.tHead.rows[0].cells);
  const box = document.getElementById("q");
  const counts = document.getElementById("counts");
  const summary = counts.textContent;
  const count = films.length;
  const searched = heads.flatMap((head, column) => head.hasAttribute("data-searched") ? [column] : []);

  // As the window's typed search folds: letter case and Czech diacritics go.
  const plain = {á: "a", č: "c", ď: "d", é: "e", ě: "e", í: "i", ň: "n", ó: "o",
                 ř: "r", š: "s", ť: "t", ú: "u", ů: "u", ý: "y", ž: "z"};
  const fold = text => text.toLowerCase().replace(/[áčďéěíňóřšťúůýž]/g, c => plain[c]);

  let query = "";
  let sortColumn = -1;  // -1: the catalogue's own order
  let descending = false;
  let searchKeys = null;  // folded titles and note of each film, made once
  let passes = new Uint8Array(count).fill(1);
  let sequence = Int32Array.from(films, (film, i) => i);  // all films, in the current order
  let shown = sequence;  // the films that pass the search, in that order
  const orders = new Map();  // "column,descending" -> films in that order

  // offsets[at] is where the row at position `at` of `shown` begins below the
  // header row; offsets[shown.length] is the height of all of them.
  const heightOf = new Float64Array(count);  // 0: not measured at this width
  let measuredSum = 0, measuredCount = 0;
  let offsets = new Float64Array(1);
  let first = 0, last = 0;  // shown[first .. last) are the rows between the gaps
  let printing = false;
  let width = view.clientWidth;

  function gapRow() {
    const tr = document.createElement("tr");
    tr.className = "gap";
    tr.setAttribute("aria-hidden", "true");
    tr.insertCell().colSpan = heads.length;
    return tr;
  }
  const topGap = gapRow(), bottomGap = gapRow();
  let rowOf = new Map();  // film -> its row, for the films between the gaps

  function measureOffsets() {
    const guess = measuredCount ? measuredSum / measuredCount : 24;
    offsets = new Float64Array(shown.length + 1);
    for (let at = 0; at < shown.length; ++at) offsets[at + 1] = offsets[at] + (heightOf[shown[at]] || guess);
  }

  // The position of the row that holds the height y, between 0 and shown.length.
  function positionAt(y) {
    let low = 0, high = shown.length;
    while (low < high) {
      const middle = (low + high) >> 1;
      if (offsets[middle + 1] <= y) low = middle + 1; else high = middle;
    }
    return low;
  }

  function makeRow(film) {
    const tr = document.createElement("tr");
    for (const value of films[film]) tr.insertCell().textContent = value ?? "";
    return tr;
  }

  function fillBetweenGaps(from, to) {
    const rows = new Map();
    const added = document.createDocumentFragment();
    added.appendChild(topGap);
    for (let at = from; at < to; ++at) {
      const tr = rowOf.get(shown[at]) ?? makeRow(shown[at]);
      tr.classList.toggle("even", at % 2 === 1);
      tr.ariaRowIndex = at + 2;  // after the header row, so that screen readers count the rows not made
      rows.set(shown[at], tr);
      added.appendChild(tr);
    }
    added.appendChild(bottomGap);
    body.replaceChildren(added);
    rowOf = rows;
    first = from;
    last = to;
  }

  // Rows for what the view shows now. A row shown for the first time may turn
  // out taller or lower than was guessed: the view then scrolls by the
  // difference, so that what the user looks at stays where it was.
  function showRows(again) {
    if (printing) return;
    const top = view.scrollTop - table.tHead.offsetHeight;
    const anchor = positionAt(top);
    const from = positionAt(top - view.clientHeight);
    const to = Math.min(shown.length, positionAt(top + 2 * view.clientHeight) + 1);
    if (!again && from === first && to === last) return;
    const anchorOffset = offsets[anchor];
    fillBetweenGaps(from, to);
    let changed = false;
    for (const [film, tr] of rowOf) {
      if (heightOf[film]) continue;
      heightOf[film] = tr.getBoundingClientRect().height;
      measuredSum += heightOf[film];
      ++measuredCount;
      changed = true;
    }
    if (changed) measureOffsets();
    topGap.cells[0].style.height = offsets[from] + "px";
    bottomGap.cells[0].style.height = offsets[shown.length] - offsets[to] + "px";
    if (offsets[anchor] !== anchorOffset && !again) view.scrollTop += offsets[anchor] - anchorOffset;
  }

  function showFromTop() {
    const found = new Int32Array(count);
    let total = 0;
    for (const film of sequence) if (passes[film]) found[total++] = film;
    shown = found.subarray(0, total);
    table.ariaRowCount = shown.length + 1;
    measureOffsets();
    view.scrollTop = 0;
    showRows(true);
  }

  function foldTexts() {
    searchKeys ??= films.map(film => fold(searched.map(column => film[column] ?? "").join("\0")));
  }

  // Which films pass the search, and the counts line for it.
  function search() {
    const wanted = fold(query).replaceAll("\0", "");
    if (wanted) foldTexts();
    let total = 0;
    for (let i = 0; i < count; ++i) total += passes[i] = !wanted || searchKeys[i].includes(wanted);
    counts.textContent = query ? `${total} z ${count} ${count === 1 ? "filmu" : "filmů"}` : summary;
  }

  // One numeric sort of film numbers weighted by their column's key (a text's
  // rank, a number's value, a null below any), so that ties keep the
  // catalogue's order in either direction. Exact while |key| × films < 2^53.
  function order(column, down) {
    const name = column + "," + down;
    if (!orders.has(name)) {
      const rank = ranks[column], weight = down ? -count : count;
      const keys = new Float64Array(count);
      for (let i = 0; i < count; ++i) keys[i] = weight * (rank ? rank[i] : films[i][column] ?? -0x80000001) + i;
      keys.sort();
      const ordered = new Int32Array(count);
      for (let at = 0; at < count; ++at) ordered[at] = ((keys[at] % count) + count) % count;
      orders.set(name, ordered);
    }
    return orders.get(name);
  }

  // Only the sort column's header carries aria-sort; its arrow is not part of the title's name.
  function sortRows() {
    sequence = sortColumn < 0 ? Int32Array.from(films, (film, i) => i) : order(sortColumn, descending);
    heads.forEach((head, column) => {
      if (column === sortColumn) head.setAttribute("aria-sort", descending ? "descending" : "ascending");
      else head.removeAttribute("aria-sort");
    });
  }

  function readAddress() {
    const state = new URLSearchParams(location.hash.slice(1));
    query = state.get("q") ?? "";
    const sort = /^(-?)(.+)$/.exec(state.get("sort") ?? "");
    sortColumn = sort ? heads.findIndex(head => head.dataset.field === sort[2]) : -1;
    descending = sortColumn >= 0 && sort[1] === "-";
  }

  function writeAddress() {
    const parts = [];
    if (query) parts.push("q=" + encodeURIComponent(query));
    if (sortColumn >= 0) parts.push("sort=" + (descending ? "-" : "") + heads[sortColumn].dataset.field);
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
    }, count > 5000 ? 150 : 0);
  });
  heads.forEach((head, column) => head.querySelector("button").addEventListener("click", () => {
    descending = column === sortColumn ? !descending : false;
    sortColumn = column;
    sortRows();
    showFromTop();
    writeAddress();
  }));
  window.addEventListener("hashchange", applyAddress);
  view.addEventListener("scroll", () => showRows(false), {passive: true});
  window.addEventListener("resize", () => {
    if (view.clientWidth === width) return showRows(false);
    width = view.clientWidth;
    heightOf.fill(0);
    measuredSum = measuredCount = 0;
    measureOffsets();
    showRows(true);
  });
  window.addEventListener("beforeprint", () => {
    fillBetweenGaps(0, shown.length);
    topGap.cells[0].style.height = bottomGap.cells[0].style.height = "0";
    printing = true;
  });
  window.addEventListener("afterprint", () => {
    printing = false;
    showRows(true);
  });

  applyAddress();
  // Folded once the page shows, so that the first search does not wait for it.
  setTimeout(foldTexts, 0);
})();
)js";
