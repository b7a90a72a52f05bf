#!/usr/bin/env bash
# Renders the help page in headless Chromium and fails if it does not render or holds a broken or outside link.
set -euo pipefail
cd "$(dirname "$0")/.."
page="$PWD/resources/zib.htm"

browser=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$browser" ]; then
  echo "test-helppage: chromium is not installed (scripts/install-deps.sh installs it)" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A fresh profile for every run, and no way out to the network: the page must stand alone.
run_browser() {
  local profile
  profile=$(mktemp -d "$work/profile.XXXXXX")
  timeout 25 "$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --host-resolver-rules="MAP * ~NOTFOUND" --user-data-dir="$profile" "$@" "file://$page" \
    2>>"$work/browser.log"
}

fail() {
  echo "test-helppage: $*" >&2
  exit 1
}

browser_failed() {
  sed 's/^/  browser: /' "$work/browser.log" | tail -20 >&2
  fail "$*"
}

run_browser --dump-dom >"$work/dom.html" || browser_failed "--dump-dom failed"
run_browser --window-size=1000,1400 --screenshot="$work/shot.png" >/dev/null || browser_failed "--screenshot failed"

python3 - "$work/dom.html" <<'PY' || fail "the rendered page has faults (above)"
import re
import sys
from html.parser import HTMLParser

# Attributes through which a page can load or lead to something.
URL_ATTRS = {"href", "src", "srcset", "poster", "data", "action", "formaction", "background", "cite", "longdesc"}


class Page(HTMLParser):
    def __init__(self):
        super().__init__()
        self.ids, self.links, self.faults = set(), [], []
        self.in_style, self.style, self.title, self.in_title = False, "", "", False

    def handle_starttag(self, tag, attrs):
        for name, value in attrs:
            if name in ("id", "name") and value:
                self.ids.add(value)
            if name in URL_ATTRS:
                self.links.append((tag, name, value or ""))
            if name == "style" and value and re.search(r"url\s*\(|@import", value, re.I):
                self.faults.append(f"inline style of <{tag}> loads something: {value}")
        if tag == "link":
            self.faults.append(f"<link> element: {dict(attrs)}")
        self.in_style = tag == "style"
        self.in_title = tag == "title"

    def handle_endtag(self, tag):
        self.in_style = self.in_title = False

    def handle_data(self, data):
        if self.in_style:
            self.style += data
        if self.in_title:
            self.title += data


dom = open(sys.argv[1], encoding="utf-8").read()
page = Page()
page.feed(dom)
faults = page.faults
if re.search(r"url\s*\(|@import", page.style, re.I):
    faults.append("the style sheet loads something from outside")
if not page.title.startswith("Tessarino"):
    faults.append(f"unexpected title {page.title!r}: the page did not render")
# Decoded as UTF-8, the umlauts and the Cyrillic sayings survive.
for text in ("Lösung", "Menübefehle", "Кончил дело"):
    if text not in dom:
        faults.append(f"text {text!r} missing: wrong encoding or lost content")
if len(page.links) < 10:
    faults.append(f"only {len(page.links)} links: the table of contents did not render")
for tag, attr, value in page.links:
    if attr != "href" or not value.startswith("#"):
        faults.append(f"<{tag} {attr}={value!r}>: only links within the page are allowed")
    elif value[1:] not in page.ids:
        faults.append(f"<{tag} href={value!r}>: no element has the id {value[1:]!r}")
for f in faults:
    print(f, file=sys.stderr)
if faults:
    sys.exit(1)
print(f"test-helppage: {len(page.links)} links, all within the page")
PY

[ -s "$work/shot.png" ] || fail "no screenshot"
size=$(identify -format '%wx%h' "$work/shot.png") || fail "the screenshot is not an image"
colours=$(identify -format '%k' "$work/shot.png")
# A blank or unstyled page has a handful of colours; text with its anti-aliasing has hundreds.
[ "$colours" -ge 100 ] || fail "the screenshot ($size) looks empty: $colours colours"
if [ -n "${TESS_HELP_SCREENSHOT:-}" ]; then cp "$work/shot.png" "$TESS_HELP_SCREENSHOT"; fi
echo "test-helppage: rendered $size with $colours colours"
