// Reads each EPUB named on the command line with Readium's parser
// (r2-shared-js), loads every media overlay of its reading order and checks
// that each text reference names a document of the book holding that id:
// prints "<file>: <references> references, <unresolved> unresolved, <clips>
// clips" for each (and each reference that does not resolve), and exits 1
// when any does not, when one has none, or when a book cannot be read.
//   NODE_PATH=<node_modules> node ReadiumCheck.js BOOK.epub...
"use strict";
require("reflect-metadata");
const { EpubParsePromise } = require("r2-shared-js/dist/es8-es2017/src/parser/epub");
const common = require("r2-shared-js/dist/es8-es2017/src/parser/epub-daisy-common");

async function check(path) {
    const publication = await EpubParsePromise(path);
    const zip = publication.findFromInternal("zip").Value;
    const ids = new Map();
    let references = 0, unresolved = 0, clips = 0;
    async function idsOf(href) {
        if (!ids.has(href)) {
            const text = await common.loadFileStrFromZipPath(href, href, zip);
            ids.set(href, text ? new Set([...text.matchAll(/\sid="([^"]+)"/g)].map(m => m[1])) : null);
        }
        return ids.get(href);
    }
    async function walk(node) {
        if (node.Text) {
            references++;
            const [href, id] = node.Text.split("#");
            const found = await idsOf(href);
            if (!found || !id || !found.has(id)) {
                unresolved++;
                console.log("  unresolved " + node.Text);
            }
        }
        if (node.Audio)
            clips++;
        for (const child of node.Children || [])
            await walk(child);
    }
    for (const link of publication.Spine || []) {
        if (!link.MediaOverlays)
            continue;
        await common.lazyLoadMediaOverlays(publication, link.MediaOverlays);
        await walk(link.MediaOverlays);
    }
    console.log(path + ": " + references + " references, " + unresolved + " unresolved, " + clips +
                " clips");
    return references > 0 && unresolved === 0;
}

(async () => {
    let ok = true;
    for (const path of process.argv.slice(2)) {
        try {
            ok = (await check(path)) && ok;
        } catch (e) {
            ok = false;
            console.log(path + ": " + e);
        }
    }
    process.exit(ok ? 0 : 1);
})();
