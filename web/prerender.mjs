// Puts the calculator into index.html before the page is served, as the engine starts it:
// every control of the window's control table at its place and in its tab order, the start
// curve's texts and indicators, its two drawings, and the stylesheet (style.css) in the
// page's head. The page can then be read and typed into as soon as the HTML is in, one
// round trip and long before the engine has arrived; app.js takes what was typed
// meanwhile once it has (see index.html).
//
//     node web/prerender.mjs BUILD_WEB_DIR     (scripts/build-web.sh runs it)
//
// The markup is the engine's own: nothing here is a number or a caption of its own.
import {createRequire} from 'node:module';
import fs from 'node:fs';
import path from 'node:path';
import {fileURLToPath} from 'node:url';

const dir = process.argv[2];
const require = createRequire(import.meta.url);
const createBendwise = require(path.resolve(dir, 'bendwise.js'));
const engine = await createBendwise({wasmBinary: fs.readFileSync(path.join(dir, 'bendwise.wasm'))});
const text = (name) => engine.cwrap(name, 'string', [])();

const escape = (s) => String(s).replace(/&/g, '&amp;').replace(/</g, '&lt;')
    .replace(/>/g, '&gt;').replace(/"/g, '&quot;');

// An element as markup: attributes in the order given, `true` for one with no value.
function element(tag, attributes, content = '') {
    const parts = [tag];
    for (const [name, value] of Object.entries(attributes)) {
        if (value === false || value === undefined) continue;
        parts.push(value === true ? name : `${name}="${escape(value)}"`);
    }
    const open = `<${parts.join(' ')}>`;
    return tag === 'input' ? open : `${open}${content}</${tag}>`;
}

const layout = JSON.parse(text('bw_controls'));
const state = JSON.parse(text('bw_state'));

// On a phone the calculator is one row per working control, in tab order (style.css): the
// indicator, the label and the field of a row share its --row.
let row = 0;
const rowOf = {};
for (const control of layout.controls) {
    if (['button', 'default-button', 'entry', 'result', 'check'].includes(control.kind)) {
        rowOf[control.id] = ++row;
    }
}

function placed(control, extra = {}) {
    const [x, y, w, h] = control.box;
    let style = `--x:${x};--y:${y};--w:${w};--h:${h}`;
    if (extra.row !== undefined) style += `;--row:${extra.row};--col:${extra.col}`;
    return style;
}

const markup = [];
let indicatorRow = null;
const controls = layout.controls;
for (let i = 0; i < controls.length; ++i) {
    const control = controls[i];
    const classes = (more) => ['control', ...more].join(' ');
    switch (control.kind) {
        case 'button':
        case 'default-button':
            markup.push(element('button', {
                type: 'button', id: control.id, class: classes([]),
                style: placed(control, {row: rowOf[control.id], col: '1 / -1'}),
            }, escape(control.caption)));
            break;
        case 'indicator': {
            // The indicator shares the row of the field that follows it.
            const next = controls.slice(i + 1).find((c) => c.kind === 'entry' || c.kind === 'result');
            indicatorRow = next ? rowOf[next.id] : undefined;
            markup.push(element('input', {
                type: 'radio', disabled: true, id: control.id, class: classes([]),
                'data-group': control.group,
                'aria-label': `${control['group-name']} group in the pair`,
                checked: (state.indicators & control.group) !== 0,
                style: placed(control, indicatorRow ? {row: indicatorRow, col: '1'} : {}),
            }));
            break;
        }
        case 'entry':
        case 'result':
            markup.push(element('input', {
                type: 'text', id: control.id, maxlength: control['max-length'] || undefined,
                autocomplete: 'off', spellcheck: 'false', class: classes([control.kind]),
                readonly: control.kind === 'result', value: state.texts[control.id] ?? '',
                style: placed(control, {row: rowOf[control.id], col: '3'}),
            }));
            break;
        case 'check': {
            const box = {
                type: 'checkbox', id: control.id, checked: state.values[control.id] === true,
                disabled: control.id === 'alwaysOnTop',
                // Always on top has no meaning in a browser tab.
                title: control.id === 'alwaysOnTop' ? 'Only in the desktop window' : undefined,
            };
            const style = placed(control, {row: rowOf[control.id], col: '1 / -1'});
            if (!control.caption) {
                markup.push(element('input', {...box, class: classes([]), style}));
            } else {
                markup.push(element('label', {class: classes(['check']), style},
                                    element('input', box) +
                                    element('span', {}, escape(control.caption))));
            }
            break;
        }
        case 'label': {
            const named = control.for && control.for in rowOf;
            markup.push(element(control.for ? 'label' : 'div', {
                for: control.for || undefined, class: classes(['text', ...(named ? ['named'] : [])]),
                style: placed(control, named ? {row: rowOf[control.for], col: '2'} : {}),
            }, escape(control.caption)));
            break;
        }
        case 'frame':
            markup.push(element('div', {
                'aria-hidden': 'true', class: classes(['frame']), style: placed(control),
            }, control.caption ? element('span', {}, escape(control.caption)) : ''));
            break;
    }
}

// A drawing of the engine's as the page shows it: its root with the page's id and name.
function drawing(svg, id, label) {
    const root = svg.replace(/^<\?xml[^>]*>\s*/, '');
    return root.replace(/^<svg/, `<svg id="${id}" role="img" aria-label="${escape(label)}"`);
}

const file = path.join(dir, 'index.html');
let html = fs.readFileSync(file, 'utf8');
const put = (empty, full) => {
    if (!html.includes(empty)) throw new Error(`index.html has no ${empty}`);
    html = html.replace(empty, () => full);
};
put('<link rel="stylesheet" href="style.css">',
    `<style>\n${fs.readFileSync(path.join(path.dirname(fileURLToPath(import.meta.url)), 'style.css'), 'utf8')}</style>`);
put('<section id="calculator" class="dialog" aria-label="Calculator"></section>',
    `<section id="calculator" class="dialog" aria-label="Calculator" ` +
    `style="--width:${layout.width};--height:${layout.height}">\n${markup.join('\n')}\n</section>`);
put('<svg id="diagram" role="img" aria-label="Curve diagram"></svg>',
    drawing(text('bw_svg'), 'diagram', 'Curve diagram'));
put('<svg id="length-figure" role="img" aria-label="Length illustration"></svg>',
    drawing(text('bw_length_svg'), 'length-figure', 'Length illustration'));
fs.writeFileSync(file, html);
