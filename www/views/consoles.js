/*
 * Consoles view: the online console modules (edit, KVM session, serial
 * capture and release by the user's right on each console) and, for
 * administrators, the console slots.
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
            { name: 'type2', display: T('kind'), render: function (d) { return kindName(d.type2); } },
            { name: 'status', display: T('state'), render: function (d) { return tableName('dogStatus', d.status, 3); } },
            { name: 'code', display: T('bitRate'), render: consoleCode },
            { name: 'frame', display: T('frameRate'), render: consoleFrame },
            { name: 'group2', display: T('group2') },
            { name: 'pos1', display: T('pos1') },
            { name: 'pos2', display: T('pos2') },
            { name: 'depart', display: T('depart') },
            { name: 'memo', display: T('memo') },
            { display: T('serialHolder'), render: serialHolder }
        ]
    });
    var admin = myLevel() >= 2;
    if (admin) grid.on('dblclick', editConsole);
    // Enter on a row: the KVM session, where the user may open one.
    grid.on('activate', function () { if (!btnKvm.$el.prop('disabled')) btnKvm.$el.click(); });
    function updateButtons() {
        var d = grid.selected();
        var right = d ? myRightOn(d) : RIGHT_NONE;
        btnEdit.enable(!!d);
        btnKvm.enable(!!d && (right === RIGHT_READ || right === RIGHT_WRITE));
        var serialDog = !!d && d.type2 === 2 && right === RIGHT_WRITE;
        btnCap.enable(serialDog && !serialHolder(d));
        btnUncap.enable(serialDog && !!serialHolder(d));
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
        section(T('onlineConsoles'), [toolbar([admin ? btnEdit : null, btnKvm, btnCap, btnUncap]), $grid]),
        admin ? section(T('consoleSlots'), [kui.el('div', { cls: 'kv-note', text: T('slotsNote') }), toolbar([btnClear]), $slotGrid]) : null
    );
    return {
        render: function () {
            grid.setData(app.snap.dogs);
            slotGrid.setData(app.snap.dogInfos);
            updateButtons();
            var s = slotGrid.selected();
            btnClear.enable(!!s && s.setted === '1');
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
        title: Tf('editConsoleTitle', d.nm), content: $form, width: 480, buttons: [
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
        var q = {};
        try { q = JSON.parse(reply.qt) || {}; } catch (e) { q = {}; }
        var $t = kui.el('table', { cls: 'kv-params' });
        $.each(q, function (k, v) {
            $t.append(kui.el('tr', {}, [kui.el('th', { text: T('qt_' + k) !== 'qt_' + k ? T('qt_' + k) : k }), kui.el('td', { text: kui.str(v) })]));
        });
        var $raw = kui.el('textarea', { cls: 'kv-raw', rows: 3, readonly: 'readonly', 'aria-label': T('kvmSession') }).val($.trim(kui.str(reply.qt)));
        kui.dialog({
            title: Tf('kvmTitle', d.nm), width: 520,
            content: kui.el('div', {}, [kui.el('div', { cls: 'kv-note', text: T('kvmNote') }), $t, $raw]),
            buttons: [{ text: T('close'), kind: 'primary', click: function (dlg) { dlg.close(); } }]
        });
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
    }, T('clearSlot'));
}
