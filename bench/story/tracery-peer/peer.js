// The story generator's peer: stories of the benchmark's shape told by a
// tracery grammar. Ten tale-size grammars (60 lines of 20 words, one word in
// five a symbol; 48 definitions per tale taken once and used again, as the
// tale's own definitions are), a vocabulary of 60 names, 150 nouns, 80 verbs,
// 80 adjectives and 40 places, every symbol expanded (full twist). The word
// forms the grammar needs (plural, a/an, past, -ing, -er, -est) are tracery's
// English modifiers and a few of the same kind.
// Prints one JSON line: stories/s, chars/s and chars/story over Seconds of
// processor time (as the benchmark counts its own).
// Run: node peer.js [seconds]
'use strict';
const tracery = require('tracery-grammar');

const seconds = Number(process.argv[2] || 3);

// A small fixed-seed generator (mulberry32) for the grammars' words.
function Maker(seed) {
  let a = seed >>> 0;
  const next = () => {
    a = (a + 0x6d2b79f5) >>> 0;
    let t = a;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
  const syllables = ['ba', 'ro', 'ki', 'mel', 'dor', 'fin', 'ta', 'lu', 'gri',
                     'zo', 'pe', 'nan', 'sil', 'vo', 'ha', 'qui', 'bre', 'mo'];
  const below = (n) => Math.floor(next() * n);
  const word = (n) => Array.from({length: n}, () => syllables[below(syllables.length)]).join('');
  const capital = (w) => w[0].toUpperCase() + w.slice(1);
  return {below, word, capital};
}

function Vocabulary() {
  const m = Maker(12345);
  let serial = 0;
  const unique = (w) => w + String.fromCharCode(97 + (serial++ % 26));
  const names = [], nouns = [], verbs = [], adjectives = [], places = [];
  for (let i = 0; i < 60; ++i)
    names.push(m.capital(unique(m.word(2))) + (i % 7 === 0 ? ' ' + m.capital(m.word(2)) : ''));
  for (let i = 0; i < 150; ++i)
    nouns.push((i % 10 === 0 ? m.word(1) + ' ' : '') + unique(m.word(1 + (i % 2))));
  for (let i = 0; i < 80; ++i) verbs.push(unique(m.word(1 + (i % 2))));
  for (let i = 0; i < 80; ++i) adjectives.push(unique(m.word(1 + (i % 2))));
  for (let i = 0; i < 40; ++i) places.push(m.capital(unique(m.word(2))));
  return {
    name: names, mname: names.filter((_, i) => i % 2 === 0),
    fname: names.filter((_, i) => i % 2 === 1), noun: nouns, verb: verbs,
    adj: adjectives, place: places,
  };
}

// The symbols a token of the tale becomes.
const kTokens = ['#noun#', '#noun.s#', '#noun.a#', '#adj#', '#adj.a#', '#adj.ly#', '#verb#',
                 '#verb.ed#', '#verb.ing#', '#verb.s#', '#verb.ed#', '#adj.er#', '#adj.est#',
                 '#place#', '#mname#', '#fname#', '#name#', '#mname#', '#fname#', '#name#',
                 '#mname#', '#fname#', '#mname#', '#fname#'];

function Tale(tale, vocabulary) {
  const m = Maker(1000 + tale);
  const grammar = Object.assign({}, vocabulary);
  let actions = '';
  const names = [];
  for (let d = 0; d < 48; ++d) {
    let value = kTokens[m.below(kTokens.length)];
    if (d % 6 === 4) value += ' and #adj#';
    const name = 'w' + d;
    names.push(name);
    actions += '[' + name + ':' + value + ']';
  }
  const lines = ['The Tale of Number ' + tale, '', 'The #w0# and the #w6#'];
  for (let l = 0; l < 60; ++l) {
    const words = [];
    for (let k = 0; k < 20; ++k)
      words.push(m.below(5) === 0 ? '#' + names[m.below(names.length)] + '#'
                                  : m.word(1 + m.below(2)));
    lines.push(words.join(' ') + (l % 5 === 4 ? '.\n' : ','));
  }
  grammar.origin = [actions + lines.join('\n')];
  return tracery.createGrammar(grammar);
}

const suffix = (end) => (s) => (s.endsWith('e') ? s.slice(0, -1) : s) + end;
const modifiers = Object.assign({}, tracery.baseEngModifiers, {
  ing: suffix('ing'), er: suffix('er'), est: suffix('est'), ly: (s) => s + 'ly',
});

const vocabulary = Vocabulary();
const tales = [];
for (let n = 1; n <= 10; ++n) {
  const g = Tale(n, vocabulary);
  g.addModifiers(modifiers);
  tales.push(g);
}

if (process.env.FBW_PEER_SAMPLE) { console.log(tales[0].flatten("#origin#").slice(0, 600)); process.exit(0); }
const cpu = () => {
  const used = process.cpuUsage();
  return (used.user + used.system) / 1e6;
};
let stories = 0, chars = 0;
const start = cpu();
while (cpu() - start < seconds) {
  for (const g of tales) {
    chars += g.flatten('#origin#').length;
    ++stories;
  }
}
const spent = cpu() - start;
console.log(JSON.stringify({
  'stories/s': stories / spent, 'chars/s': chars / spent, 'chars/story': chars / stories,
}));
