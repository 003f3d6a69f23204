// The calculator page: takes the calculator that prerender.mjs laid out in index.html from
// the window's own control table, hands every entry to the engine (bendwise.js and
// bendwise.wasm, the engine compiled to WebAssembly) and shows what the engine made of it. No formula and no number formatting here: every text on
// the page, the drawing and the report come from the engine.
'use strict';

// ---- starting: the page says in words when the calculator cannot run -----------------
// Seconds after which a module still loading is said to be slow (it keeps loading).
const kSlowStartSeconds = 20;

function cannotStart(why) {
    const loading = document.getElementById('loading');
    if (!loading) return;
    loading.textContent = `The calculator cannot start: ${why}`;
    loading.setAttribute('role', 'alert');
    loading.classList.add('failed');
    document.body.dataset.failed = 'true';
}

// Where the module's bytes come from. Served, bendwise.js fetches bendwise.wasm and compiles
// it while it streams in (index.html has it preloaded). Opened from disk, fetch is refused,
// and the same bytes come from bendwise-wasm.js, a classic script that file:// allows.
function moduleOptions() {
    if (location.protocol !== 'file:') return Promise.resolve({});
    return new Promise((resolve, reject) => {
        const script = document.createElement('script');
        script.src = 'bendwise-wasm.js';
        script.onload = () => {
            const text = atob(self.bendwiseWasmBase64 || '');
            const bytes = new Uint8Array(text.length);
            for (let i = 0; i < text.length; ++i) bytes[i] = text.charCodeAt(i);
            delete self.bendwiseWasmBase64;
            resolve({wasmBinary: bytes});
        };
        script.onerror = () => reject(new Error('bendwise-wasm.js, the module for a page ' +
                                                'opened from disk, did not load'));
        document.head.append(script);
    });
}

// The module, or null when it cannot run here (the reason is on the page by then).
async function startEngine() {
    if (typeof WebAssembly !== 'object') {
        cannotStart('this browser runs no WebAssembly (it is missing, switched off or ' +
                    'blocked for this page). A current browser with WebAssembly allowed runs it.');
        return null;
    }
    if (typeof createBendwise !== 'function') {
        cannotStart('its program, bendwise.js, did not load. It must be in the folder of ' +
                    'this page; load the page again.');
        return null;
    }
    const slow = setTimeout(() => {
        const loading = document.getElementById('loading');
        if (loading) {
            loading.textContent = `The calculator is still loading after ${kSlowStartSeconds} ` +
                'seconds. If this stays, the browser may be blocking WebAssembly here.';
        }
    }, kSlowStartSeconds * 1000);
    try {
        return await createBendwise(await moduleOptions());
    } catch (error) {
        cannotStart(`the WebAssembly module did not run (${error && error.message || error}).`);
        return null;
    } finally {
        clearTimeout(slow);
    }
}

// ---- offline: the service worker (sw.js) keeps the page's files for the field -------
// Only over http(s): opened from disk (file://) there are no service workers, and the page
// needs none there. A worker that cannot register leaves the page working online.
if ('serviceWorker' in navigator && /^https?:$/.test(location.protocol)) {
    navigator.serviceWorker.register('sw.js').catch(() => {});
}

(async function main() {
    const engine = await startEngine();
    if (!engine) return;
    // The curve from points: fit option, the three N,E, major arc, tolerance.
    const pointsArgs = ['string', 'string', 'string', 'string', 'number', 'string'];
    const call = {
        controls: engine.cwrap('bw_controls', 'string', []),
        start: engine.cwrap('bw_start', null, []),
        entry: engine.cwrap('bw_entry', 'number', ['string', 'string', 'number']),
        enterKey: engine.cwrap('bw_enter_key', null, []),
        check: engine.cwrap('bw_check', null, ['string', 'number']),
        report: engine.cwrap('bw_report', 'number', ['number']),
        reportText: engine.cwrap('bw_report_text', 'string', []),
        reportName: engine.cwrap('bw_report_name', 'string', []),
        surveyOption: engine.cwrap('bw_survey_option', 'string', ['string', 'string']),
        surveyCheck: engine.cwrap('bw_survey_check', 'string', []),
        points: engine.cwrap('bw_points', 'string', pointsArgs),
        usePoints: engine.cwrap('bw_use_points', 'string', pointsArgs),
        state: engine.cwrap('bw_state', 'string', []),
        svg: engine.cwrap('bw_svg', 'string', []),
        lengthSvg: engine.cwrap('bw_length_svg', 'string', []),
        version: engine.cwrap('bw_version', 'string', []),
        word: engine.cwrap('bw_word', 'string', ['string']),
        words: engine.cwrap('bw_words', 'string', []),
        setReport: engine.cwrap('bw_set_report', null, ['string']),
        reportBlock: engine.cwrap('bw_report_block', 'string', []),
        keepPoints: engine.cwrap('bw_keep_points', 'string', pointsArgs),
        exports: engine.cwrap('bw_exports', 'string', []),
        exportReason: engine.cwrap('bw_export_reason', 'string', []),
    };
    // A file's bytes as the engine made them (not through a JavaScript string).
    const resultSize = engine.cwrap('bw_result_size', 'number', []);
    function bytesOf(name, ...args) {
        const types = args.map(() => 'string');
        const at = engine.ccall(name, 'number', types, args);
        return engine.HEAPU8.slice(at, at + resultSize());
    }
    const byId = (id) => document.getElementById(id);
    // True until the stored session and the address are back: nothing is kept before.
    let restoring = true;
    // The stakeout table as shown, headings first, for "Copy the stakeout table".
    let lastTable = [];

    // ---- the calculator, put into index.html from the control table by prerender.mjs ----
    // From here on app.js takes what is typed; index.html's script has kept what came before.
    // The field with the focus is in the user's hands: what was typed there stays with its
    // selection, and an untouched one shows the engine's text, still wholly selected if it
    // was (as after Tab), so that what is typed next replaces it.
    const early = self.bendwiseEarly || [];
    early.taken = true;
    const focused = document.activeElement.matches('#calculator input.entry')
        ? document.activeElement : null;
    const held = focused && {
        typed: early.changed && early.changed.has(focused) ? focused.value : null,
        start: focused.selectionStart,
        end: focused.selectionEnd,
        all: focused.selectionStart === 0 && focused.selectionEnd === focused.value.length,
    };
    const layout = JSON.parse(call.controls());
    // The check boxes that change the curve (left, acres, packed), by the binding's table.
    const switches = layout.controls.filter((c) => c.switch).map((c) => c.id);
    const calculator = byId('calculator');
    const entryFields = [...calculator.querySelectorAll('input.entry')];
    const indicators = [...calculator.querySelectorAll('input[type=radio]')];

    // ---- messages, one at a time; sounds; the status line --------------------------------
    const dialog = byId('message');
    const pending = [];
    let focusAfterMessages = null;

    function showNextMessage() {
        if (dialog.open || pending.length === 0) return;
        byId('message-text').textContent = pending.shift();
        dialog.showModal();
    }
    dialog.addEventListener('close', () => {
        if (pending.length > 0) {
            showNextMessage();
        } else if (focusAfterMessages) {
            focusAfterMessages.focus();
            // Typing after the message replaces the field's text, as after Tab, instead of
            // being added to it (12.3, OK, 250 must not make 100.000250).
            if (focusAfterMessages.select) focusAfterMessages.select();
            focusAfterMessages = null;
        }
    });
    byId('message-ok').addEventListener('click', () => dialog.close());

    let audio = null;
    function beep(kind) {
        try {
            audio = audio || new AudioContext();
            const tone = audio.createOscillator();
            const gain = audio.createGain();
            tone.frequency.value = kind === 'asterisk' ? 880 : 440;
            gain.gain.value = 0.05;
            tone.connect(gain).connect(audio.destination);
            tone.start();
            tone.stop(audio.currentTime + 0.12);
        } catch (e) {
            // No audio: the message and the status line still say what happened.
        }
    }

    // ---- what the engine says after every call -----------------------------------------
    let reportWritten = false;

    // The status line, as the window's: it repeats every message and reason, keeps the last
    // one, and is cleared by an entry accepted with nothing to say.
    const status = byId('status');
    function say(text) {
        status.textContent = text;
        status.title = text;
    }

    // `accepted`: the call was an entry that the engine took.
    function refresh(nextFocus, accepted) {
        const state = JSON.parse(call.state());
        for (const [name, text] of Object.entries(state.texts)) byId(name).value = text;
        for (const radio of indicators) {
            radio.checked = (state.indicators & Number(radio.dataset.group)) !== 0;
        }
        for (const name of switches) byId(name).checked = state.values[name];
        let said = false;
        for (const line of state.events.split('\n')) {
            const tab = line.indexOf('\t');
            if (tab < 0) continue;
            const kind = line.slice(0, tab);
            const text = line.slice(tab + 1);
            if (kind === 'message') pending.push(text);
            if (kind === 'message' || kind === 'status') {
                say(text);
                said = true;
            }
            if (kind === 'sound') beep(text);
        }
        if (accepted && !said) say('');
        showSurvey(state);
        showDrawing();
        showFiles(state);
        keep();
        if (pending.length > 0) {
            focusAfterMessages = nextFocus || document.activeElement;
            showNextMessage();
        }
    }

    // Replaces the element `id` by the SVG document `text`, keeping its id and label. The
    // engine's document (numbers and the engine's own words, escaped by its writer; nothing
    // typed) goes into the drawing's box as markup, as index.html has it: half the time of
    // an XML parse and import.
    function showSvg(id, text, label) {
        const box = byId(id).parentElement;
        box.innerHTML = text.replace(/^<\?xml[^>]*>\s*/, '');
        const svg = box.firstElementChild;
        svg.id = id;
        svg.setAttribute('role', 'img');
        svg.setAttribute('aria-label', label);
    }

    function showDrawing() {
        showSvg('diagram', call.svg(), 'Curve diagram');
        showSvg('length-figure', call.lengthSvg(), 'Length illustration');
    }

    function showSurvey(state) {
        byId('description').textContent = state.description || '';
        const spiralAsked = state.spiralText !== '' || state.spiralRefusal !== null;
        for (const id of ['spiral-heading', 'spiral-text', 'spiral-status']) {
            byId(id).hidden = !spiralAsked;
        }
        byId('spiral-text').textContent = state.spiralText;
        byId('spiral-status').textContent =
            state.spiralRefusal === null ? '' : `No spirals: ${state.spiralRefusal}`;
        lastTable = [state.tableHeadings, ...state.table];
        byId('copy-table').disabled = state.table.length === 0;
        byId('survey-text').textContent = state.surveyText;
        byId('survey-error').textContent = surveyReason || inWords(call.surveyCheck());
        const stations = byId('stations');
        stations.hidden = !state.stations;
        if (state.stations) {
            const rows = ['pi', 'pc', 'pt'].map((p) => {
                const tr = document.createElement('tr');
                const th = document.createElement('th');
                th.scope = 'row';
                th.textContent = p.toUpperCase();
                const td = document.createElement('td');
                td.textContent = state.stations[`${p}-text`];
                tr.append(th, td);
                return tr;
            });
            stations.tBodies[0].replaceChildren(...rows);
        }
        const stakeout = byId('stakeout');
        const table = state.stakeout;
        stakeout.hidden = !table;
        if (table) {
            stakeout.caption.textContent = table.error
                ? `No stakeout: ${table.error}`
                : `Deflections ${table.turn} from the back tangent at the PC`;
            const headings = document.createElement('tr');
            for (const text of state.tableHeadings) {
                const th = document.createElement('th');
                th.scope = 'col';
                th.textContent = text;
                headings.append(th);
            }
            stakeout.tHead.replaceChildren(headings);
            // The rows and cells there are kept and only their texts changed: a 100-row
            // table is then laid out again in about a millisecond less on every entry.
            const body = stakeout.tBodies[0];
            while (body.rows.length > state.table.length) body.lastElementChild.remove();
            state.table.forEach((cells, i) => {
                const tr = body.rows[i] || body.appendChild(document.createElement('tr'));
                while (tr.cells.length > cells.length) tr.lastElementChild.remove();
                cells.forEach((cell, j) => {
                    const td = tr.cells[j] || tr.appendChild(document.createElement('td'));
                    if (td.textContent !== cell) td.textContent = cell;
                });
            });
        }
    }

    // ---- entries: a field is read when it loses the focus --------------------------------
    let enterPressed = false;
    const midOrdinate = byId('mid-ordinate');

    for (const input of entryFields) {
        input.addEventListener('blur', (event) => {
            const enter = enterPressed;
            enterPressed = false;
            const result = call.entry(input.id, input.value, enter ? 1 : 0);
            refresh(event.relatedTarget, result === 1);
        });
    }

    // Enter anywhere but on a push button: the window's default button takes it, which
    // re-reads the field that had the focus and moves the focus to Mid-Ordinate.
    calculator.addEventListener('keydown', (event) => {
        if (event.key !== 'Enter' || event.target.tagName === 'BUTTON') return;
        event.preventDefault();
        if (entryFields.includes(event.target)) {
            enterPressed = true;
        } else {
            call.enterKey();
        }
        midOrdinate.focus();
    });

    for (const name of switches) {
        byId(name).addEventListener('change', (event) => {
            call.check(name, event.target.checked ? 1 : 0);
            refresh();
        });
    }

    // ---- buttons -------------------------------------------------------------------------
    // The report is downloaded as it stands: leaving the page or starting a new one asks
    // first while it holds blocks that were not.
    let reportDownloaded = false;

    function reportBytes() {
        return bytesOf('bw_report_text');
    }

    function showReportSize() {
        const size = reportBytes().length;
        reportWritten = size > 0;
        byId('report-size').textContent = reportWritten
            ? `${call.reportName()}: ${size} bytes${reportDownloaded ? ', downloaded' : ''}`
            : '"Write New File" starts a report, "Append to File" adds the curve to it.';
        byId('download').disabled = !reportWritten;
    }

    function writeReport(newFile) {
        const result = call.report(newFile ? 1 : 0);
        if (result === 0) reportDownloaded = false;
        refresh();
        if (result !== 0) return;  // not written: the engine's message says why
        showReportSize();
        keep();
    }
    const confirmNew = byId('confirm-new');
    byId('writeNewFile').addEventListener('click', () => {
        if (!reportWritten) {
            writeReport(true);
            return;
        }
        byId('confirm-new-text').textContent =
            `The report holds ${reportBytes().length} bytes of blocks` +
            `${reportDownloaded ? '' : ' that were not downloaded'}. ` +
            'Write New File starts it again with this curve alone.';
        confirmNew.showModal();
    });
    byId('confirm-new-yes').addEventListener('click', () => {
        confirmNew.close();
        writeReport(true);
    });
    byId('confirm-new-no').addEventListener('click', () => confirmNew.close());
    byId('appendToFile').addEventListener('click', () => writeReport(false));

    function download(name, bytes, type) {
        const link = document.createElement('a');
        link.href = URL.createObjectURL(new Blob([bytes], {type}));
        link.download = name;
        link.click();
        setTimeout(() => URL.revokeObjectURL(link.href), 10000);
    }

    byId('download').addEventListener('click', () => {
        if (!reportWritten) return;
        download(call.reportName(), reportBytes(), 'text/plain');
        reportDownloaded = true;
        showReportSize();
        keep();
    });
    window.onbeforeunload = (event) => {
        if (!reportWritten || reportDownloaded) return undefined;
        event.preventDefault();
        event.returnValue = '';
        return '';
    };

    // ---- files: every format this build writes, as bendwise-cli writes it --------------
    const fileTypes = {svg: 'image/svg+xml', xml: 'application/xml', dxf: 'application/dxf'};
    const exportButtons = JSON.parse(call.exports()).map((format) => {
        const b = document.createElement('button');
        b.type = 'button';
        b.id = `export-${format.suffix}`;
        b.textContent = `${format.caption || format.kind} (.${format.suffix})`;
        b.addEventListener('click', () => {
            const bytes = bytesOf('bw_export', format.option);
            const reason = call.exportReason();
            byId('export-status').textContent = reason ? `No ${format.kind} file: ${inWords(reason)}` : '';
            if (bytes.length > 0) {
                download(`curve.${format.suffix}`, bytes, fileTypes[format.suffix] || 'text/plain');
            }
        });
        byId('exports').append(b);
        return {format, button: b};
    });
    function showFiles(state) {
        for (const {format, button} of exportButtons) {
            button.disabled = format.needsPlace && !state.placed;
            button.title = button.disabled
                ? 'Needs the curve placed: PC at or PI at (N,E), or a curve from points' : '';
        }
    }

    // ---- copying: the text as it is, with a word that it was copied --------------------
    async function copyText(text) {
        try {
            await navigator.clipboard.writeText(text);
            return true;
        } catch (e) {
            // No clipboard access (an old browser, or a page opened from disk in some):
            // the selection's copy command.
            const area = document.createElement('textarea');
            area.value = text;
            area.setAttribute('readonly', '');
            area.className = 'offscreen';
            document.body.append(area);
            area.select();
            const done = document.execCommand('copy');
            area.remove();
            return done;
        }
    }
    const copies = {
        'copy-block': () => call.reportBlock(),
        'copy-table': () => lastTable.map((cells) => cells.join('\t')).join('\n') + '\n',
    };
    for (const [id, text] of Object.entries(copies)) {
        const b = byId(id);
        b.addEventListener('click', async () => {
            const said = byId(b.dataset.copied);
            said.textContent = (await copyText(text())) ? 'Copied' : 'Not copied: the browser refused';
            setTimeout(() => { said.textContent = ''; }, 3000);
        });
    }

    // The window's three curve windows are sections of the page: their buttons go there.
    const goTo = (id) => () => {
        const target = byId(id);
        target.scrollIntoView({block: 'nearest'});
        target.focus();
    };
    byId('curveDiagram').addEventListener('click', goTo('drawing-heading'));
    byId('stationsStakeout').addEventListener('click', goTo('pi-station'));
    byId('lengthIllustration').addEventListener('click', goTo('lengths-heading'));

    const about = byId('about-box');
    byId('about-version').textContent = `Bendwise Version ${call.version()}`;
    byId('about').addEventListener('click', () => about.showModal());
    byId('accept').addEventListener('click', () => about.close());

    // Close ends the window's session: the page starts a new one with the start curve.
    // The survey inputs stay as they are: only the calculator starts again.
    byId('close').addEventListener('click', () => {
        call.start();
        pointsUsed = null;
        byId('points-status').textContent = '';
        applySurvey();
    });

    // ---- the engine's reasons in the page's words ------------------------------------------
    // The survey options' reasons name bendwise-cli's options: the page names its inputs.
    const optionWords = {
        '--pi-station': 'PI station',
        '--pc-station': 'PC station',
        '--stationing': 'Stationing',
        '--stakeout': 'Stakeout every',
        '--offsets': 'Offsets',
        '--station-offset': 'Station and offset',
        '--setup': 'Instrument point',
        '--backsight': 'Backsight',
        '--three-points': 'Curve from points',
        '--inverse': 'Curve from points',
        '--pc-pi-pt': 'Curve from points',
        '--major': 'Major arc',
        '--tolerance': 'Tolerance',
        '--spiral': 'Spiral length',
        '--pc': 'PC at',
        '--pi': 'PI at',
        '--first-point': 'First point number',
        '--unit': 'Unit',
        '--points': 'the points file',
        '--landxml': 'the LandXML file',
        '--dxf': 'the DXF file',
        '--svg': 'the drawing',
    };
    function inWords(reason) {
        return reason
            .replace('--pc, --pi or a curve from points',
                     'PC at, PI at or a curve from points ("Use this curve")')
            .replace('--pc or --pi to place the curve', 'PC at or PI at to place the curve')
            .replace(/--[a-z-]+/g, (option) => optionWords[option] || option);
    }

    // ---- stations, stakeout, offsets, setup: bendwise-cli's own options ------------------
    const surveyInputs = [
        ['--pi-station', byId('pi-station')],
        ['--pc-station', byId('pc-station')],
        ['--stationing', byId('stationing')],
        ['--spiral', byId('spiral-length')],
        ['--stakeout', byId('stakeout-interval')],
        ['--offsets', byId('offsets')],
        ['--pc', byId('pc-at')],
        ['--pi', byId('pi-at')],
        ['--first-point', byId('first-point')],
        ['--unit', byId('unit')],
        ['--setup', byId('setup')],
        ['--backsight', byId('backsight')],
    ];
    const stationOffset = byId('station-offset');
    // The first value refused, in words; the engine keeps the option as it was.
    let surveyReason = '';
    function applySurvey() {
        let reason = call.surveyOption('--describe', 'on');
        for (const [option, input] of surveyInputs) {
            // Arc stationing is the default: as chosen, it asks for nothing (no station yet).
            const value = input.value === 'arc' ? '' : input.value.trim();
            reason = reason || call.surveyOption(option, value);
        }
        // Any number of points, a blank apart: each one is a --station-offset of its own.
        call.surveyOption('--station-offset', '');
        for (const point of stationOffset.value.trim().split(/\s+/).filter(Boolean)) {
            reason = reason || call.surveyOption('--station-offset', point);
        }
        surveyReason = inWords(reason);
        refresh();
    }
    for (const [, input] of surveyInputs) input.addEventListener('change', applySurvey);
    stationOffset.addEventListener('change', applySurvey);
    byId('survey').addEventListener('submit', (event) => {
        event.preventDefault();
        applySurvey();
    });

    // ---- the curve from points -----------------------------------------------------------
    const pointInputs = ['point-first', 'point-second', 'point-third'].map(byId);
    const major = byId('points-major');
    const tolerance = byId('points-tolerance');
    const usePoints = byId('use-points');
    const secondNames = {'--three-points': 'Point on arc', '--inverse': 'RP', '--pc-pi-pt': 'PI'};
    const fit = () => document.querySelector('input[name=fit]:checked').value;

    function pointsArguments() {
        return [fit(), ...pointInputs.map((input) => input.value.trim()), major.checked ? 1 : 0,
                tolerance.value.trim()];
    }

    // The Inverse lines, or why there are none; "Use this curve" only for a curve.
    function showPoints(result) {
        const names = ['PC', secondNames[fit()], 'PT', 'Tolerance'];
        const said = byId('points-status');
        if ('reason' in result) {
            byId('inverse-text').textContent = '';
            said.textContent = result.input >= 0 ? `${names[result.input]}: ${result.reason}`
                                                 : inWords(result.reason);
        } else {
            byId('inverse-text').textContent = result.text;
            said.textContent = result.refusal ? `No curve from the points: ${result.refusal}` : '';
        }
        usePoints.disabled = 'reason' in result || result.refusal !== null;
    }

    function previewPoints() {
        byId('point-second-label').textContent = `${secondNames[fit()]} (N,E)`;
        major.disabled = fit() !== '--inverse';
        tolerance.disabled = fit() === '--three-points';
        if (pointInputs.some((input) => input.value.trim() === '')) {
            byId('inverse-text').textContent = '';
            byId('points-status').textContent = '';
            usePoints.disabled = true;
            return;
        }
        showPoints(JSON.parse(call.points(...pointsArguments())));
    }
    for (const input of [...pointInputs, major, tolerance]) {
        input.addEventListener('input', previewPoints);
    }
    for (const radio of document.querySelectorAll('input[name=fit]')) {
        radio.addEventListener('change', previewPoints);
    }
    byId('points').addEventListener('submit', (event) => event.preventDefault());

    // The points in use ("Use this curve"), kept with the session: pointsArguments().
    let pointsUsed = null;
    usePoints.addEventListener('click', () => {
        const result = JSON.parse(call.usePoints(...pointsArguments()));
        showPoints(result);
        if ('reason' in result || result.refusal !== null) return;
        pointsUsed = pointsArguments();
        byId('points-status').textContent =
            'The calculator holds this curve, placed at its PC for the stations below.';
        refresh(null, true);
    });

    // ---- the session: the address fragment and the browser's storage -------------------
    // The fragment holds the words that rebuild the curve (#radius=1000&delta=30), the
    // names bendwise-cli takes; the storage holds them too, with every input of the two
    // survey forms and the report. Each stored or typed value goes back through the engine
    // (or into an input's value): nothing of it is ever taken as markup or code.
    const kStoreKey = 'bendwise.page';
    const kMaxWords = 500;  // far more than any curve needs; a longer list is not ours
    const keptInputs = [...document.querySelectorAll('#survey input, #survey select, ' +
                                                      '#points input[type=text]')];
    const keptBoxes = [major, ...document.querySelectorAll('input[name=fit]')];
    function fragmentOf(words) {
        return words.map(([name, text]) => `${name}=${encodeURIComponent(text)}`).join('&');
    }

    // Writes the session down after every change (never on leaving, which may not run).
    // The address follows every change at once (a curve bookmarked or shared is the one
    // shown). The browser storage is written when the page is idle after a change (an
    // entry's update is not slowed by it), and at once when the page is hidden or left, so
    // that nothing typed is lost.
    let keepPending = null;
    function keep() {
        if (restoring) return;
        const fragment = fragmentOf(JSON.parse(call.words()));
        const address = location.pathname + location.search + (fragment ? `#${fragment}` : '');
        if (location.hash.slice(1) !== fragment) history.replaceState(null, '', address);
        if (keepPending === null) keepPending = setTimeout(keepNow, 0);
    }
    const keepWaiting = () => {
        if (keepPending !== null) keepNow();
    };
    addEventListener('pagehide', keepWaiting);
    document.addEventListener('visibilitychange', () => {
        if (document.visibilityState === 'hidden') keepWaiting();
    });

    function keepNow() {
        clearTimeout(keepPending);
        keepPending = null;
        if (restoring) return;
        const words = JSON.parse(call.words());
        const session = {
            words,
            inputs: Object.fromEntries(keptInputs.map((input) => [input.id, input.value])),
            boxes: Object.fromEntries(keptBoxes.map((box) => [box.id || box.value, box.checked])),
            pointsUsed,
            report: new TextDecoder().decode(reportBytes()),
            reportDownloaded,
        };
        try {
            localStorage.setItem(kStoreKey, JSON.stringify(session));
        } catch (e) {
            // Storage full or switched off: the page works on, without keeping it.
        }
    }

    const isText = (value) => typeof value === 'string' && value.length <= 100000;

    // The stored session, each part checked for its shape; a part that is not what keep()
    // writes is left out.
    function storedSession() {
        const none = {words: null, inputs: {}, boxes: {}, pointsUsed: null, report: '',
                      reportDownloaded: false};
        let session = null;
        try {
            session = JSON.parse(localStorage.getItem(kStoreKey));
        } catch (e) {
            return none;
        }
        if (session === null || typeof session !== 'object' || Array.isArray(session)) return none;
        const plain = (v) => v !== null && typeof v === 'object' && !Array.isArray(v);
        const words = Array.isArray(session.words) && session.words.length <= kMaxWords &&
            session.words.every((w) => Array.isArray(w) && w.length === 2 && w.every(isText))
            ? session.words : null;
        return {
            words,
            inputs: plain(session.inputs) ? session.inputs : {},
            boxes: plain(session.boxes) ? session.boxes : {},
            // pointsArguments(): the fit, three points, major arc 0 or 1, the tolerance.
            pointsUsed: Array.isArray(session.pointsUsed) && session.pointsUsed.length === 6 &&
                session.pointsUsed.every((v, i) => (i === 4 ? v === 0 || v === 1 : isText(v)))
                ? session.pointsUsed : null,
            report: isText(session.report) ? session.report : '',
            reportDownloaded: session.reportDownloaded === true,
        };
    }

    // The fragment's words, each typed as bendwise-cli types it; a word it would refuse
    // is said on the status line and the rest still go in.
    function typeWords(words) {
        const refused = [];
        for (const word of words) {
            const reason = call.word(word);
            if (reason) refused.push(reason);
        }
        return refused;
    }

    function wordsOfFragment(fragment) {
        const words = [];
        const refused = [];
        for (const part of fragment.split('&').filter(Boolean).slice(0, kMaxWords)) {
            try {
                words.push(decodeURIComponent(part));
            } catch (e) {
                refused.push(`'${part}' is not an entry (its % escapes are broken)`);
            }
        }
        return {words, refused};
    }

    function typeFragment() {
        const {words, refused} = wordsOfFragment(location.hash.slice(1));
        refused.push(...typeWords(words));
        return refused;
    }

    // A fragment typed or pasted into the address while the page is open: the calculator
    // starts again with its curve, as Close would, then takes its words.
    window.addEventListener('hashchange', () => {
        call.start();
        pointsUsed = null;
        const refused = typeFragment();
        applySurvey();
        if (refused.length > 0) say(`Not taken from the address: ${refused.join('; ')}`);
    });

    function restore() {
        const stored = storedSession();
        for (const input of keptInputs) {
            // One typed into before the engine had started keeps what was typed.
            const typed = input.tagName === 'INPUT' && input.value !== input.defaultValue;
            if (isText(stored.inputs[input.id]) && !typed) input.value = stored.inputs[input.id];
        }
        for (const box of keptBoxes) {
            const on = stored.boxes[box.id || box.value];
            if (typeof on === 'boolean') box.checked = on;
        }
        const storedFragment = stored.words ? fragmentOf(stored.words) : '';
        let refused = [];
        if (location.hash.length > 1) {
            refused = typeFragment();
        } else if (stored.words) {
            refused = typeWords(stored.words.map(([name, text]) => `${name}=${text}`));
        }
        // The points place the curve again only when it is still the stored one.
        if (stored.pointsUsed && (location.hash.length <= 1 ||
                                  location.hash.slice(1) === storedFragment)) {
            const result = JSON.parse(call.keepPoints(...stored.pointsUsed));
            if (!('reason' in result) && result.refusal === null) pointsUsed = stored.pointsUsed;
        }
        if (stored.report) call.setReport(stored.report);
        reportDownloaded = stored.reportDownloaded;
        showReportSize();
        return refused;
    }

    // What was typed before the engine had started, taken in order as if typed now. The
    // field with the focus then is read when it is left, as any entry.
    function takeEarly() {
        for (const [kind, id, value, enter] of early) {
            if (kind === 'entry') {
                refresh(null, call.entry(id, value, enter ? 1 : 0) === 1);
            } else if (kind === 'enter') {
                call.enterKey();
                refresh();
            } else if (kind === 'check' && switches.includes(id)) {
                call.check(id, value ? 1 : 0);
                refresh();
            } else if (kind === 'click') {
                byId(id).click();
            }
        }
        if (held && held.typed !== null) {
            focused.value = held.typed;
            focused.setSelectionRange(held.start, held.end);
        } else if (held && held.all) {
            focused.select();
        }
    }

    const refused = restore();
    previewPoints();
    if (pointsUsed) {
        byId('points-status').textContent =
            'The calculator holds this curve, placed at its PC for the stations below.';
    }
    applySurvey();
    restoring = false;
    keep();
    if (refused.length > 0) say(`Not taken from the address: ${refused.join('; ')}`);
    takeEarly();
    // Emptied, not removed: its line stays, so nothing below it moves.
    byId('loading').textContent = '';
    // Milliseconds from the start of navigation until the engine answers entries.
    document.body.dataset.readyMs = String(Math.round(performance.now()));
    document.body.dataset.ready = 'true';
    // The window opens with About focused; a page already being used keeps its focus.
    if (document.activeElement === document.body) byId('about').focus();
})().catch((error) => {
    // A fault while the page is put together: said, not "Loading the calculator..." forever.
    cannotStart(`an error stopped it (${error && error.message || error}).`);
});
