# Turns the user guide (docs/user-guide.md) into one HTML page for the
# release package. Knows the Markdown the guide uses: headings (#, ##, ###),
# paragraphs, lists ("- " and "1. ", continued by indented lines), tables
# (rows between "|", the second row the separator), fenced code blocks,
# `code` and **bold**. Run with -v title="<page title>".

function esc(s) {
  gsub(/&/, "\\&amp;", s); gsub(/</, "\\&lt;", s); gsub(/>/, "\\&gt;", s)
  return s
}
# Inline markup outside code spans: **bold**.
function bold(s,   out) {
  out = ""
  while (match(s, /\*\*[^*]+\*\*/)) {
    out = out substr(s, 1, RSTART - 1) "<strong>" substr(s, RSTART + 2, RLENGTH - 4) "</strong>"
    s = substr(s, RSTART + RLENGTH)
  }
  return out s
}
function inline(s,   n, parts, i, out) {
  n = split(s, parts, "`")
  out = ""
  for (i = 1; i <= n; i++) {
    if (i % 2 == 0 && i < n) out = out "<code>" esc(parts[i]) "</code>"
    else if (i % 2 == 0) out = out "`" bold(esc(parts[i]))
    else out = out bold(esc(parts[i]))
  }
  return out
}
function anchor(s) {
  s = tolower(s); gsub(/[^a-z0-9]+/, "-", s); gsub(/^-|-$/, "", s)
  return s
}
function close_para() { if (para != "") { print "<p>" inline(para) "</p>"; para = "" } }
function close_item() { if (item != "") { print "<li>" inline(item) "</li>"; item = "" } }
function close_list() { close_item(); if (list != "") { print "</" list ">"; list = "" } }
function close_table() { if (table) { print "</tbody></table>"; table = 0 } }
function close_all() { close_para(); close_list(); close_table() }
function cells(line, tag,   n, parts, i, out) {
  sub(/^ *\|/, "", line); sub(/\| *$/, "", line)
  n = split(line, parts, "|")
  out = "<tr>"
  for (i = 1; i <= n; i++) {
    gsub(/^ +| +$/, "", parts[i])
    out = out "<" tag ">" inline(parts[i]) "</" tag ">"
  }
  return out "</tr>"
}

BEGIN {
  print "<!DOCTYPE html>"
  print "<html lang=\"en\"><head><meta charset=\"utf-8\">"
  print "<title>" esc(title) "</title>"
  print "<style>"
  print "body{font-family:'Segoe UI',Tahoma,sans-serif;max-width:56em;margin:2em auto;padding:0 1em;line-height:1.45;color:#222}"
  print "h1,h2,h3{color:#134}h2{border-bottom:1px solid #ccd;padding-bottom:.2em;margin-top:1.8em}"
  print "table{border-collapse:collapse;margin:.8em 0}th,td{border:1px solid #bbc;padding:.3em .6em;vertical-align:top;text-align:left}"
  print "th{background:#eef}code{background:#f2f2f5;padding:0 .2em}pre{background:#f2f2f5;padding:.6em;overflow:auto}"
  print "</style></head><body>"
}

code {
  if ($0 ~ /^```/) { print "</code></pre>"; code = 0 } else print esc($0)
  next
}
/^```/ { close_all(); printf "<pre><code>"; code = 1; next }
/^#+ / {
  close_all()
  level = index($0, " ") - 1
  text = substr($0, level + 2)
  print "<h" level " id=\"" anchor(text) "\">" inline(text) "</h" level ">"
  next
}
/^ *\|/ {
  close_para(); close_list()
  if (!table) { print "<table><thead>" cells($0, "th") "</thead><tbody>"; table = 1; header = 1; next }
  if (header && $0 ~ /^[ |:-]+$/) { header = 0; next }
  header = 0
  print cells($0, "td")
  next
}
/^ *$/ { close_all(); next }
/^- / || /^[0-9]+\. / {
  close_para(); close_table()
  kind = ($0 ~ /^- /) ? "ul" : "ol"
  if (list != kind) { close_list(); print "<" kind ">"; list = kind }
  close_item()
  item = $0; sub(/^(- |[0-9]+\. )/, "", item)
  next
}
/^  +[^ ]/ && list != "" { line = $0; sub(/^ +/, "", line); item = item " " line; next }
{
  close_list(); close_table()
  para = (para == "") ? $0 : para " " $0
}
END {
  if (code) print "</code></pre>"
  close_all()
  print "</body></html>"
}
