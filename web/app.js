// The calculator page: lays the calculator out from the window's own control table, hands
// every entry to the engine (bendwise.js, the engine compiled to WebAssembly) and shows
// what the engine made of it. No formula and no number formatting here: every text on
// the page, the drawing and the report come from the engine.
'use strict';

(async function main() {
    const engine = await createBendwise();
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
    };
    const byId = (id) => document.getElementById(id);

    // ---- the calculator, built from the control table in its tab order ----------------
    const layout = JSON.parse(call.controls());
    // The check boxes that change the curve (left, acres, packed), by the binding's table.
    const switches = layout.controls.filter((c) => c.switch).map((c) => c.id);
    const calculator = byId('calculator');
    calculator.style.setProperty('--width', layout.width);
    calculator.style.setProperty('--height', layout.height);
    const entryFields = [];
    const indicators = [];

    function place(element, box) {
        element.classList.add('control');
        element.style.setProperty('--x', box[0]);
        element.style.setProperty('--y', box[1]);
        element.style.setProperty('--w', box[2]);
        element.style.setProperty('--h', box[3]);
        calculator.append(element);
        return element;
    }

    function button(control) {
        const b = document.createElement('button');
        b.type = 'button';
        b.id = control.id;
        b.textContent = control.caption;
        return place(b, control.box);
    }

    function field(control) {
        const input = document.createElement('input');
        input.type = 'text';
        input.id = control.id;
        if (control['max-length']) input.maxLength = control['max-length'];
        input.autocomplete = 'off';
        input.spellcheck = false;
        input.className = control.kind;
        if (control.kind === 'result') input.readOnly = true;
        if (control.kind === 'entry') entryFields.push(input);
        return place(input, control.box);
    }

    function checkBox(control) {
        const box = document.createElement('input');
        box.type = 'checkbox';
        box.id = control.id;
        if (!control.caption) return place(box, control.box);
        const label = document.createElement('label');
        const caption = document.createElement('span');
        caption.textContent = control.caption;
        label.append(box, caption);
        place(label, control.box).classList.add('check');
        return box;
    }

    for (const control of layout.controls) {
        switch (control.kind) {
            case 'button':
            case 'default-button':
                button(control);
                break;
            case 'indicator': {
                const radio = document.createElement('input');
                radio.type = 'radio';
                radio.disabled = true;
                radio.id = control.id;
                radio.dataset.group = control.group;
                radio.setAttribute('aria-label', `${control['group-name']} group in the pair`);
                indicators.push(place(radio, control.box));
                break;
            }
            case 'entry':
            case 'result':
                field(control);
                break;
            case 'check':
                checkBox(control);
                break;
            case 'label': {
                const label = document.createElement(control.for ? 'label' : 'div');
                if (control.for) label.htmlFor = control.for;
                label.textContent = control.caption;
                place(label, control.box).classList.add('text');
                break;
            }
            case 'frame': {
                const frame = document.createElement('div');
                frame.setAttribute('aria-hidden', 'true');
                if (control.caption) {
                    const caption = document.createElement('span');
                    caption.textContent = control.caption;
                    frame.append(caption);
                }
                place(frame, control.box).classList.add('frame');
                break;
            }
        }
    }
    // Always on top has no meaning in a browser tab.
    const alwaysOnTop = byId('alwaysOnTop');
    if (alwaysOnTop) {
        alwaysOnTop.disabled = true;
        alwaysOnTop.title = 'Only in the desktop window';
    }

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
        if (pending.length > 0) {
            focusAfterMessages = nextFocus || document.activeElement;
            showNextMessage();
        }
    }

    // Replaces the element `id` by the SVG document `text`, keeping its id and label.
    function showSvg(id, text, label) {
        const parsed = new DOMParser().parseFromString(text, 'image/svg+xml');
        const svg = document.importNode(parsed.documentElement, true);
        svg.id = id;
        svg.setAttribute('role', 'img');
        svg.setAttribute('aria-label', label);
        byId(id).replaceWith(svg);
    }

    function showDrawing() {
        showSvg('diagram', call.svg(), 'Curve diagram');
        showSvg('length-figure', call.lengthSvg(), 'Length illustration');
    }

    function showSurvey(state) {
        byId('description').textContent = state.description || '';
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
            stakeout.tBodies[0].replaceChildren(...state.table.map((cells) => {
                const tr = document.createElement('tr');
                for (const cell of cells) {
                    const td = document.createElement('td');
                    td.textContent = cell;
                    tr.append(td);
                }
                return tr;
            }));
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
    function writeReport(newFile) {
        const result = call.report(newFile ? 1 : 0);
        refresh();
        if (result !== 0) return;  // not written: the engine's message says why
        reportWritten = true;
        const size = new TextEncoder().encode(call.reportText()).length;
        byId('report-size').textContent = `${call.reportName()}: ${size} bytes`;
        byId('download').disabled = false;
    }
    byId('writeNewFile').addEventListener('click', () => writeReport(true));
    byId('appendToFile').addEventListener('click', () => writeReport(false));

    byId('download').addEventListener('click', () => {
        if (!reportWritten) return;
        const link = document.createElement('a');
        link.href = URL.createObjectURL(new Blob([call.reportText()], {type: 'text/plain'}));
        link.download = call.reportName();
        link.click();
        setTimeout(() => URL.revokeObjectURL(link.href), 10000);
    });

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
    byId('close').addEventListener('click', () => {
        call.start();
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
    };
    function inWords(reason) {
        return reason
            .replace('--pc, --pi or a curve from points', 'a curve from points ("Use this curve")')
            .replace(/--[a-z-]+/g, (option) => optionWords[option] || option);
    }

    // ---- stations, stakeout, offsets, setup: bendwise-cli's own options ------------------
    const surveyInputs = [
        ['--pi-station', byId('pi-station')],
        ['--pc-station', byId('pc-station')],
        ['--stationing', byId('stationing')],
        ['--stakeout', byId('stakeout-interval')],
        ['--offsets', byId('offsets')],
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

    usePoints.addEventListener('click', () => {
        const result = JSON.parse(call.usePoints(...pointsArguments()));
        showPoints(result);
        if ('reason' in result || result.refusal !== null) return;
        byId('points-status').textContent =
            'The calculator holds this curve, placed at its PC for the stations below.';
        refresh(null, true);
    });

    previewPoints();
    applySurvey();
    byId('loading').remove();
    // Milliseconds from the start of navigation until the calculator takes input.
    document.body.dataset.readyMs = String(Math.round(performance.now()));
    document.body.dataset.ready = 'true';
    byId('about').focus();
})();
