/*
 * Consoles view: the online console modules (edit, KVM session, serial
 * capture and release by the user's right on each console) and, for
 * administrators, the console slots. Each console shows the user's own
 * right on it, and a button that cannot be used says why.
 */
const app = window.kvCore;
const $ = window.jQuery;
const { kui, T, Tf, row, input, select, field, toolbar, section, formError, busyCall, dialogCall, notify,
    kindName, tableName, moduleKind, isFactory, myLevel, myRightOn, CODE_VALUES, FRAME_VALUES,
    RIGHT_NONE, RIGHT_READ, RIGHT_WRITE } = app;

function consoleCode(d) {
    var k = d.type2;
    if (k !== 1 && k !== 3) return '--';
    return CODE_VALUES[d.code] !== undefined ? Tf('unitKbit', CODE_VALUES[d.code]) : '?';
}

function consoleFrame(d) {
    var k = d.type2;
    if (k !== 1 && k !== 3) return '--';
    return FRAME_VALUES[d.frame] !== undefined ? Tf('unitFps', FRAME_VALUES[d.frame]) : '?';
}

function serialHolder(d) {
    var holder = '';
    $.each(kui.list(app.snap.serials), function (i, s) { if (s.dogID === d.id) holder = s.userNM; });
    return holder;
}

// Who was granted the last KVM session on each console, by module id, as
// the program lists them (only consoles the user has a right on).
var holders = {};
var showHolders = function () {};


function loadHolders() {
    return app.call('selConsoles', {}, { quiet: true, noSnapshot: true }).then(function (reply) {
        holders = {};
        $.each(kui.list(reply.consoles), function (i, c) { holders[c.id] = c; });
        showHolders();
    });
}

function lastKvm(d) {
    var h = holders[kui.str(d.id)];
    return h && h.kvmUser ? Tf('lastKvmValue', h.kvmUser, h.kvmTime) : '';
}

export function build($p) {
    var btnEdit = kui.button({ text: T('edit'), name: 'dog-edit', click: function () { editConsole(grid.selected()); } });
    var btnKvm = kui.button({ text: T('kvmSession'), kind: 'primary', name: 'dog-kvm', click: function () { kvmSession(grid.selected(), btnKvm); } });
    var btnCap = kui.button({ text: T('serialCapture'), name: 'dog-cap', click: function () { serial(grid.selected(), 'cap', btnCap); } });
    var btnUncap = kui.button({ text: T('serialRelease'), name: 'dog-uncap', click: function () { serial(grid.selected(), 'uncap', btnUncap); } });
    var $grid = kui.el('div', { cls: 'kv-grid-dogs' });
    var grid = $grid.kuiGrid({
        label: T('onlineConsoles'),
        rowId: function (d) { return d.id; },
        emptyText: T('noConsoles'),
        columns: [
            { name: 'dogInfoID', display: T('slot'), width: 50 },
            { name: 'id', display: T('port'), width: 50 },
            { name: 'nm', display: T('name') },
            { display: T('dogs_myRight'), render: function (d) { return rightWord(myRightOn(d)); } },
            { name: 'type2', display: T('kind'), render: function (d) { return kindName(d.type2); } },
            { name: 'status', display: T('state'), render: function (d) { return tableName('dogStatus', d.status, 3); } },
            { name: 'code', display: T('bitRate'), render: consoleCode },
            { name: 'frame', display: T('frameRate'), render: consoleFrame },
            { name: 'group2', display: T('group2') },
            { name: 'pos1', display: T('pos1') },
            { name: 'pos2', display: T('pos2') },
            { name: 'depart', display: T('depart') },
            { name: 'memo', display: T('memo') },
            { display: T('lastKvm'), render: lastKvm },
            // Like the last KVM session, only on consoles the user has a right on.
            { display: T('serialHolder'), render: function (d) {
                var r = myRightOn(d);
                return r === RIGHT_READ || r === RIGHT_WRITE ? serialHolder(d) : '';
            } }
        ]
    });
    var admin = myLevel() >= 2;
    if (admin) grid.on('dblclick', editConsole);
    // Enter on a row: the KVM session, where the user may open one; else
    // the reason it cannot be opened.
    grid.on('activate', function () {
        if (!btnKvm.$el.prop('disabled')) btnKvm.$el.click();
        else notify(whyNot.kvm || T('dogs_selectFirst'));
    });
    // Why each button is out of use, shown beside the toolbar and linked to
    // the buttons, which a screen reader then describes.
    var whyNot = {};
    var $why = kui.el('div', { cls: 'kv-why', id: kui.uid('why'), 'data-name': 'dog-why' });
    $.each([btnEdit, btnKvm, btnCap, btnUncap], function (i, b) { b.$el.attr('aria-describedby', $why.attr('id')); });
    function updateButtons() {
        var d = grid.selected();
        var right = d ? myRightOn(d) : RIGHT_NONE;
        var canSee = right === RIGHT_READ || right === RIGHT_WRITE;
        btnEdit.enable(!!d);
        btnKvm.enable(!!d && canSee);
        var serialDog = !!d && d.type2 === 2 && right === RIGHT_WRITE;
        var holder = d ? serialHolder(d) : '';
        btnCap.enable(serialDog && !holder);
        btnUncap.enable(serialDog && !!holder);
        whyNot = {};
        if (!d) whyNot.kvm = T('dogs_selectFirst');
        else if (!canSee) whyNot.kvm = Tf('dogs_noRight', d.nm);
        else if (d.type2 === 2 && right !== RIGHT_WRITE) whyNot.serial = Tf('dogs_serialNeedsWrite', d.nm);
        else if (d.type2 !== 2) whyNot.serial = T('dogs_notSerial');
        $why.text(whyNot.kvm || whyNot.serial || '').toggle(!!(whyNot.kvm || whyNot.serial));
    }
    grid.on('select', updateButtons);

    var btnClear = kui.button({ text: T('clearSlot'), name: 'slot-clear', click: function () { clearSlot(slotGrid.selected(), btnClear); } });
    var $slotGrid = kui.el('div', { cls: 'kv-grid-slots' });
    var slotGrid = $slotGrid.kuiGrid({
        label: T('consoleSlots'),
        rowId: function (s) { return s.id; },
        emptyText: T('noSlots'),
        columns: [
            { name: 'id', display: T('slot'), width: 50 },
            { name: 'setted', display: T('slotState'), render: function (s) { return s.setted === '1' ? T('slotUsed') : T('slotFree'); } },
            { name: 'uid', display: T('uid'), render: function (s) { return s.setted === '1' ? s.uid : ''; } },
            { name: 'nm', display: T('name'), render: function (s) { return s.setted === '1' ? s.nm : ''; } }
        ]
    });
    slotGrid.on('select', function (s) { btnClear.enable(!!s && s.setted === '1'); });
    slotGrid.on('delete', function () { if (!btnClear.$el.prop('disabled')) btnClear.$el.click(); });

    $p.append(
        section(T('onlineConsoles'), [toolbar([admin ? btnEdit : null, btnKvm, btnCap, btnUncap]), $why, $grid]),
        admin ? section(T('consoleSlots'), [kui.el('div', { cls: 'kv-note', text: T('slotsNote') }), toolbar([btnClear]), $slotGrid]) : null
    );
    // After a capture or release the other button is the one to use next.
    btnCap.on('click', function () { refocus = btnUncap; });
    btnUncap.on('click', function () { refocus = btnCap; });
    var refocus = null;
    showHolders = function () {
        if (!app.snap) return;
        grid.setData(app.snap.dogs);
        updateButtons();
    };
    return {
        shown: loadHolders,
        refresh: loadHolders,
        reopen: function (form, id) {
            var d = null;
            $.each(kui.list(app.snap.dogs), function (i, x) { if (kui.str(x.id) === kui.str(id)) d = x; });
            if (form === 'console' && d) editConsole(d);
        },
        render: function () {
            grid.setData(app.snap.dogs);
            slotGrid.setData(app.snap.dogInfos);
            updateButtons();
            var s = slotGrid.selected();
            btnClear.enable(!!s && s.setted === '1');
            var lost = !document.activeElement || document.activeElement === document.body;
            if (refocus && lost) (refocus.$el.prop('disabled') ? grid.$body.children('tr[tabindex="0"]') : refocus.$el).focus();
            refocus = null;
        }
    };
}

function editConsole(d) {
    if (!d) return;
    var kind = d.type2;
    var video = kind === 1 || kind === 3;
    var factory = isFactory();
    var $form = kui.el('form', { cls: 'kv-form' });
    $form.append(
        row(T('port'), kui.el('span', { cls: 'kv-static', text: d.id })),
        row(T('kind'), kui.el('span', { cls: 'kv-static', text: kindName(kind) })),
        factory ? row(T('uid'), input('uid', d.uid, { maxlength: 17 })) : row(T('uid'), kui.el('span', { cls: 'kv-static', text: d.uid })),
        factory ? row(T('portID'), input('portID', d.id, { maxlength: 3 }), T('portIDHint')) : null,
        row(T('name'), input('nm', d.nm, { maxlength: 33 })),
        row(T('shareMode'), select('sm', [['0', T('share0')], ['1', T('share1')], ['2', T('share2')]], d.sm)),
        row(T('bitRate'), select('code', $.map(CODE_VALUES, function (v, i) { return [[String(i), Tf('unitKbit', v)]]; }), d.code).prop('disabled', !video)),
        row(T('frameRate'), select('frame', $.map(FRAME_VALUES, function (v, i) { return [[String(i), Tf('unitFps', v)]]; }), d.frame).prop('disabled', !video))
    );
    if (!factory) {
        $form.append(
            row(T('group2'), input('group2', d.group2)),
            row(T('pos1'), input('pos1', d.pos1)),
            row(T('pos2'), input('pos2', d.pos2)),
            row(T('depart'), input('depart', d.depart)),
            row(T('memo'), input('memo', d.memo))
        );
    }
    kui.dialog({
        title: Tf('editConsoleTitle', d.nm), content: $form, width: 480,
        keep: { view: 'consoles', form: 'console', id: kui.str(d.id) }, buttons: [
            { text: T('save'), kind: 'primary', name: 'save', click: function (dlg) {
                var nm = field($form, 'nm');
                if (!nm) return formError($form, T('nameEmpty'));
                var uid = factory ? field($form, 'uid') : d.uid;
                var portID = factory ? field($form, 'portID') : kui.str(d.id);
                if (factory && !/^\d{1,3}$/.test(portID)) return formError($form, T('portIDInvalid'));
                // Kinds without video settings are sent back as they were reported.
                var code = video ? CODE_VALUES[+$form.find('[name=code]').val()] : kui.str(d.code);
                var frame = video ? FRAME_VALUES[+$form.find('[name=frame]').val()] : kui.str(d.frame);
                var para = {
                    id: kui.str(d.id), uid: uid, portID: portID, nm: nm,
                    sm: $form.find('[name=sm]').val(), code: code, frame: frame,
                    type2: String(moduleKind(uid)), status: kui.str(d.status), priv: '0'
                };
                if (!factory) {
                    $.each(['group2', 'pos1', 'pos2', 'depart', 'memo'], function (i, k) { para[k] = field($form, k); });
                }
                dialogCall(dlg, 'updDog', { dogPara: para }, null, Tf('consoleSaved', nm));
            } },
            { text: T('cancel'), click: function (dlg) { dlg.close(); } }
        ]
    });
}

function kvmSession(d, btn) {
    if (!d) return;
    var s = app.snap.server || {};
    var params = {
        dogPara: { id: kui.str(d.id), uid: d.uid, type2: kui.str(d.type2) },
        server: { netIP: { ip: s.ip }, netPort: { portKM: s.portKM, portV: s.portV } }
    };
    busyCall(btn, 'qt', params).then(function (reply) {
        var text = $.trim(kui.str(reply.qt));
        var q = {};
        try { q = JSON.parse(text) || {}; } catch (e) { q = {}; }
        // A readable summary; the keys of the session stay in the file.
        var $t = kui.el('table', { cls: 'kv-params' });
        $.each(q, function (k, v) {
            if (/^des/.test(k)) return;
            $t.append(kui.el('tr', {}, [kui.el('th', { text: T('qt_' + k) !== 'qt_' + k ? T('qt_' + k) : k, scope: 'row' }), kui.el('td', { text: kui.str(v) })]));
        });
        var $done = kui.el('div', { cls: 'kv-hint', role: 'status', 'aria-live': 'polite' });
        // The list shows who opened the console last once the dialog is closed
        // (its rows are made again then, and the focus is back on one of them).
        kui.dialog({
            title: Tf('kvmTitle', d.nm), width: 520, focusButton: 'kvm-download',
            content: kui.el('div', {}, [kui.el('div', { cls: 'kv-note', text: T('dogs_kvmNote') }), $t, $done]),
            buttons: [
                { text: T('dogs_download'), kind: 'primary', name: 'kvm-download', click: function () {
                    downloadSessionFile(d, text);
                    $done.text(Tf('dogs_downloaded', sessionFileName(d)));
                } },
                { text: T('dogs_copy'), name: 'kvm-copy', click: function () {
                    copyText(text).then(function () { $done.text(T('dogs_copied')); },
                        function () { $done.text(T('dogs_copyFailed')); });
                } },
                { text: T('close'), name: 'close', click: function (dlg) { dlg.close(); } }
            ]
        }).on('close', loadHolders);
    });
}

// The session parameters as a file the viewer program opens: its own media
// type, named after the console.
var SESSION_TYPE = 'application/x-korvan-kvm-session+json';
function sessionFileName(d) {
    return 'kvm-' + (kui.str(d.nm).replace(/[^A-Za-z0-9._-]+/g, '_') || kui.str(d.id)) + '.kvmsession';
}

function downloadSessionFile(d, text) {
    var url = URL.createObjectURL(new Blob([text], { type: SESSION_TYPE }));
    var $a = kui.el('a', { href: url, download: sessionFileName(d) }).appendTo(document.body);
    $a[0].click();
    $a.remove();
    window.setTimeout(function () { URL.revokeObjectURL(url); }, 10000);
}

// Copies text to the clipboard; where the browser offers no clipboard
// (a page without HTTPS), through a hidden selection.
function copyText(text) {
    if (navigator.clipboard && window.isSecureContext) return navigator.clipboard.writeText(text);
    return new Promise(function (ok, fail) {
        var $ta = kui.el('textarea', { readonly: 'readonly', 'aria-hidden': 'true', cls: 'kv-offscreen' }).val(text).appendTo(document.body);
        var back = document.activeElement;
        $ta[0].select();
        var done = false;
        try { done = document.execCommand('copy'); } catch (e) { done = false; }
        $ta.remove();
        if (back) back.focus();
        if (done) ok(); else fail();
    });
}

function serial(d, action, btn) {
    if (!d) return;
    busyCall(btn, 'operaSerial', { serialPara: { dogID: kui.str(d.id), action: action } }).then(function () {
        notify(action === 'cap' ? Tf('serialCaptured', d.nm) : Tf('serialReleased', d.nm));
    });
}

function clearSlot(s, btn) {
    if (!s) return;
    kui.confirm(Tf('clearSlotConfirm', s.id, s.nm), function () {
        busyCall(btn, 'unsetDogInfo', { dogInfoPara: { id: kui.str(s.id) } }).then(function () { notify(Tf('slotCleared', s.id)); });
    }, T('clearSlot'), T('clearSlot'));
}

// The user's right on a console, in words.
function rightWord(code) {
    return code === RIGHT_WRITE ? T('dogs_rightWrite') : code === RIGHT_READ ? T('dogs_rightRead') : T('dogs_rightNone');
}

export const texts = {
    en: {
        dogs_myRight: 'Your right', dogs_rightNone: 'none', dogs_rightRead: 'view', dogs_rightWrite: 'view and control',
        dogs_selectFirst: 'Select a console first.',
        dogs_noRight: 'You have no right on this console ({0}): ask an administrator for one.',
        dogs_serialNeedsWrite: 'Capturing the serial port of {0} needs the right to view and control.',
        dogs_notSerial: 'Serial capture is only for serial consoles.',
        dogs_kvmNote: 'The switch granted the session. Open the session file with the viewer, or copy the parameters into it.',
        dogs_download: 'Download session file', dogs_copy: 'Copy', dogs_copied: 'The session parameters are on the clipboard.',
        dogs_copyFailed: 'The browser did not allow copying: download the session file instead.',
        dogs_downloaded: 'Saved as {0}.',
        lastKvm: 'Last KVM session', lastKvmValue: '{0}, {1}'
    },
    de: {
        dogs_myRight: 'Ihr Recht', dogs_rightNone: 'keines', dogs_rightRead: 'ansehen', dogs_rightWrite: 'ansehen und bedienen',
        dogs_selectFirst: 'Bitte w\u00e4hlen Sie zuerst eine Konsole.',
        dogs_noRight: 'Sie haben kein Recht an dieser Konsole ({0}): bitten Sie einen Administrator darum.',
        dogs_serialNeedsWrite: 'Die serielle Schnittstelle von {0} zu belegen erfordert das Recht zum Ansehen und Bedienen.',
        dogs_notSerial: 'Nur serielle Konsolen lassen sich belegen.',
        dogs_kvmNote: 'Der Switch hat die Sitzung gew\u00e4hrt. \u00d6ffnen Sie die Sitzungsdatei mit dem Viewer oder kopieren Sie die Parameter hinein.',
        dogs_download: 'Sitzungsdatei herunterladen', dogs_copy: 'Kopieren', dogs_copied: 'Die Sitzungsparameter sind in der Zwischenablage.',
        dogs_copyFailed: 'Der Browser hat das Kopieren nicht erlaubt: laden Sie stattdessen die Sitzungsdatei herunter.',
        dogs_downloaded: 'Gespeichert als {0}.',
        lastKvm: 'Letzte KVM-Sitzung', lastKvmValue: '{0}, {1}'
    },
    zh: { lastKvm: '\u6700\u8fd1 KVM \u4f1a\u8bdd', lastKvmValue: '{0}\uff0c{1}' }
};
