/*
 * Users view: the user list (add, edit, delete, unlock) and the user form
 * with its console rights.
 */
const app = window.kvCore;
const $ = window.jQuery;
const { kui, T, Tf, row, input, select, field, toolbar, section, formError, busyCall, dialogCall, notify,
    tableName, rightsEditor, rightsSummary, passwordFields, passwordDepth, userParaFrom } = app;

function groupOptions() {
    return $.map(kui.list(app.snap.privs), function (p) { return [[p.id, p.nm]]; });
}

function lowestGroupId() {
    var best = null;
    $.each(kui.list(app.snap.privs), function (i, p) {
        if (!best || (parseInt(p.level, 10) || 0) < (parseInt(best.level, 10) || 0)) best = p;
    });
    return best ? best.id : undefined;
}

function groupById(id) {
    var g = null;
    $.each(kui.list(app.snap.privs), function (i, p) { if (p.id === id) g = p; });
    return g;
}

export function build($p) {
    var btnAdd = kui.button({ text: T('add'), kind: 'primary', name: 'user-add', click: function () { editUser(null); } });
    var btnEdit = kui.button({ text: T('edit'), name: 'user-edit', click: function () { editUser(grid.selected()); } });
    var btnDel = kui.button({ text: T('delete'), kind: 'danger', name: 'user-del', click: function () { deleteUser(grid.selected(), btnDel); } });
    var btnUnlock = kui.button({ text: T('unlock'), name: 'user-unlock', click: function () {
        // Unlocked, the button goes out of use: the focus moves to the user's row.
        unlockUser(grid.selected(), btnUnlock, function (u) {
            grid.$body.children('tr').filter(function () { return $(this).attr('data-row-id') === kui.str(u.id); }).focus();
        });
    } });
    var btnTotp = kui.button({ text: T('totpResetButton'), name: 'user-totp-reset', click: function () {
        resetSecondFactor(grid.selected(), btnTotp);
    } });
    var $grid = kui.el('div', { cls: 'kv-grid-users' });
    var grid = $grid.kuiGrid({
        label: T('tab_users'),
        rowId: function (u) { return u.id; },
        emptyText: T('noUsers'),
        columns: [
            { name: 'nm', display: T('userName'), render: function (u) {
                if (u.locked !== '1') return kui.str(u.nm);
                return kui.el('span', {}, [document.createTextNode(kui.str(u.nm) + ' '),
                    kui.el('span', { cls: 'kv-locked', text: T('users_locked'), title: T('locked') })]);
            } },
            { name: 'privNM', display: T('group') },
            // Where the account lives: on the switch, or in a directory.
            { name: 'src', display: T('source'), render: function (u) {
                var s = kui.str(u.src) || 'local';
                return s === 'local' ? T('srcLocal') : T('src' + s);
            } },
            { name: 'status', display: T('state'), render: function (u) { return tableName('userStatus', u.status, 2); } },
            { name: 'prior', display: T('priority'), render: function (u) { return tableName('prior', u.prior, 3); } },
            { name: 'dogDB', display: T('rights'), render: function (u) { return rightsSummary(u.dogDB); } },
            { name: 'loginTime', display: T('lastLogin') },
            { name: 'loginTime2', display: T('prevLogin') },
            { name: 'createTime', display: T('created') },
            { name: 'memo', display: T('memo') }
        ]
    });
    grid.on('dblclick', editUser);
    grid.on('activate', editUser);
    grid.on('delete', function () { if (!btnDel.$el.prop('disabled')) btnDel.$el.click(); });
    // A button out of use says why, in a line the buttons name as their description.
    var $why = kui.el('div', { cls: 'kv-why', id: kui.uid('why'), 'data-name': 'user-why' });
    $.each([btnEdit, btnDel, btnUnlock, btnTotp], function (i, b) { b.$el.attr('aria-describedby', $why.attr('id')); });
    function updateButtons() {
        var u = grid.selected();
        var me = app.snap && app.snap.curUser;
        var own = !!u && !!me && u.id === me.id;
        btnEdit.enable(!!u);
        btnDel.enable(!!u && !own);
        btnUnlock.enable(!!u && u.locked === '1');
        // Only an account with a second factor has one to reset.
        btnTotp.enable(!!u && u.totp === '1');
        var why = [];
        if (!u) why.push(T('users_selectFirst'));
        else {
            if (own) why.push(T('users_ownAccount'));
            if (u.locked !== '1') why.push(Tf('users_notLocked', u.nm));
            if (u.totp !== '1') why.push(Tf('users_noSecondFactor', u.nm));
        }
        $why.text(why.join(' '));
    }
    grid.on('select', updateButtons);
    $p.append(section(T('tab_users'), [toolbar([btnAdd, btnEdit, btnDel, btnUnlock, btnTotp]), $why, $grid]));
    return {
        render: function () { grid.setData(app.snap.users); updateButtons(); },
        reopen: function (form, id) {
            if (form !== 'user') return;
            var u = null;
            $.each(kui.list(app.snap.users), function (i, x) { if (x.id === id) u = x; });
            if (id === null || u) editUser(u);
        }
    };
}

function editUser(u) {
    var isNew = !u;
    // A new user starts in the group of the lowest level, with no rights
    // on any console: the administrator grants what is needed.
    var src = u || { nm: '', memo: '', pid: lowestGroupId(), code: '0', frame: '3', media: '0', dogDB: '',
                     prior: '0', nm2: '', addrH: '', addrC: '', phone: '', email: '', memo2: '' };
    var $form = kui.el('form', { cls: 'kv-form kv-form-wide', autocomplete: 'off' });
    var $group = select('pid', groupOptions(), src.pid);
    // A directory account's name, password and group follow its directory.
    var fromDirectory = !isNew && kui.str(u.src) !== '' && kui.str(u.src) !== 'local';
    if (fromDirectory) $group.prop('disabled', true);
    var rights = rightsEditor(src.dogDB);
    var $rightsBox = kui.el('div', { cls: 'kv-rights-box' }, [rights.$el]);
    // A new user starts with the rights of the group chosen for it.
    if (isNew) {
        $group.on('change', function () {
            rights = rightsEditor((groupById($group.val()) || {}).dogDB || '');
            $rightsBox.empty().append(rights.$el);
        });
    }
    var $left = kui.el('div', { cls: 'kv-col' });
    var $right = kui.el('div', { cls: 'kv-col' });
    // What every user needs comes first, in the order it is typed: name,
    // password, group, console rights; the rest of the details follow.
    $left.append(row(T('userName'), input('nm', src.nm, fromDirectory ? { maxlength: 32, readonly: 'readonly' } : { maxlength: 32 }),
        fromDirectory ? T('dirKeeps') : undefined));
    var checkPw;
    var setPw = null, $oldPw = null;
    if (isNew) {
        checkPw = passwordFields($left, true);
    } else {
        setPw = kui.checkBox({ label: T('setPassword'), name: 'setPW', disabled: fromDirectory });
        var $pwBox = kui.el('div').hide();
        // Changing one's own password needs the current one.
        $oldPw = u.id === kui.str(app.snap.curUser && app.snap.curUser.id) ? input('oldPw', '', { type: 'password', autocomplete: 'current-password' }) : null;
        if ($oldPw) $pwBox.append(row(T('oldPassword'), $oldPw));
        checkPw = passwordFields($pwBox, true);
        setPw.on('change', function (on) { $pwBox.toggle(on); });
        $left.append(kui.el('div', { cls: 'kv-row' }, [kui.el('label', { cls: 'kv-label' }), kui.el('div', { cls: 'kv-field' }, [setPw.$el])]), $pwBox);
    }
    $left.append(
        row(T('group'), $group),
        kui.el('div', { cls: 'kv-subtitle', text: T('consoleRights') }),
        $rightsBox
    );
    $right.append(
        row(T('memo'), input('memo', src.memo)),
        row(T('stream'), select('code', [['0', T('stream0')], ['1', T('stream1')], ['2', T('stream2')]], src.code)),
        row(T('userFrame'), select('frame', $.map(['15', '20', '25', '30', '35'], function (v, i) { return [[String(i), v]]; }), src.frame)),
        row(T('media'), select('media', [['0', T('media0')], ['1', T('media1')], ['2', T('media2')]], src.media)),
        row(T('priority'), select('prior', [['0', T('prior0')], ['1', T('prior1')], ['2', T('prior2')]], src.prior)),
        row(T('nm2'), input('nm2', src.nm2)),
        row(T('addrH'), input('addrH', src.addrH)),
        row(T('addrC'), input('addrC', src.addrC)),
        row(T('phone'), input('phone', src.phone)),
        row(T('email'), input('email', src.email)),
        row(T('memo2'), input('memo2', src.memo2))
    );
    $form.append(kui.el('div', { cls: 'kv-cols' }, [$left, $right]));
    kui.dialog({
        title: isNew ? T('addUser') : Tf('editUserTitle', u.nm), content: $form, width: 820,
        keep: { view: 'users', form: 'user', id: isNew ? null : u.id }, buttons: [
            { text: T('save'), kind: 'primary', name: 'save', click: function (dlg) {
                var nm = field($form, 'nm');
                if (!nm) return formError($form, T('nameEmpty'));
                var wantPw = isNew || (setPw && setPw.checked());
                if (wantPw && $oldPw && !$oldPw.val()) return formError($form, T('oldPwEmpty'));
                if (wantPw && !checkPw()) return false;
                var pw = $form.find('[name=pw]').val();
                var g = groupById($group.val()) || {};
                var para = {
                    nm: nm, memo: field($form, 'memo'), pid: $group.val(), pidCN: g.nm || '', dogDB: rights.value(),
                    code: $form.find('[name=code]').val(), frame: $form.find('[name=frame]').val(),
                    media: $form.find('[name=media]').val(), prior: $form.find('[name=prior]').val(),
                    nm2: field($form, 'nm2'), addrH: field($form, 'addrH'), addrC: field($form, 'addrC'),
                    phone: field($form, 'phone'), email: field($form, 'email'), memo2: field($form, 'memo2')
                };
                if (isNew) {
                    para.pw = pw;
                    para.pwdDepth = passwordDepth(pw);
                    dialogCall(dlg, 'insUser', { userPara: para }, null, Tf('userAdded', nm));
                } else {
                    para = userParaFrom(u, para);
                    if (wantPw) { para.setPW = 'yes'; para.pw = pw; para.pwdDepth = passwordDepth(pw); }
                    if (wantPw && $oldPw) para.oldPw = $oldPw.val();
                    dialogCall(dlg, 'updUser', { userPara: para }, null, Tf('userSaved', nm));
                }
            } },
            { text: T('cancel'), click: function (dlg) { dlg.close(); } }
        ]
    });
}

// Lifts the lock that failed logins put on a user's name.
function unlockUser(u, btn, done) {
    if (!u || u.locked !== '1') return;
    kui.confirm(Tf('unlockUserConfirm', u.nm), function () {
        busyCall(btn, 'unlockUser', { userNM: kui.str(u.nm) }).then(function () {
            notify(Tf('userUnlocked', u.nm));
            done(u);
        });
    }, T('unlock'), T('unlock'));
}

// Removes a user's second factor (say, a lost phone): their next login asks
// for the password only, and they may set up a new one.
function resetSecondFactor(u, btn) {
    if (!u) return;
    kui.confirm(Tf('totpResetConfirm', u.nm), function () {
        busyCall(btn, 'totpReset', { id: kui.str(u.id) }).then(function () { notify(Tf('totpResetDone', u.nm)); });
    }, T('totpResetTitle'), T('totpReset'));
}

function deleteUser(u, btn) {
    if (!u) return;
    kui.confirm(Tf('deleteUserConfirm', u.nm), function () {
        busyCall(btn, 'delUser', { userPara: userParaFrom(u) }).then(function () { notify(Tf('userDeleted', u.nm)); });
    }, T('delete'), T('delete'));
}

export const texts = {
    en: {
        users_locked: 'Locked', totpResetButton: 'Reset second factor', totpResetTitle: 'Reset second factor', totpReset: 'Reset',
        totpResetConfirm: 'Remove the second factor of {0}? {0} then logs in with the password only until setting up a new one.',
        totpResetDone: 'The second factor of {0} is removed.',
        users_selectFirst: 'Select a user first.', users_ownAccount: 'Your own account cannot be deleted.',
        users_notLocked: '{0} is not locked.', users_noSecondFactor: '{0} has no second factor to reset.'
    },
    de: {
        users_locked: 'Gesperrt', totpResetButton: 'Zweiten Faktor zur\u00fccksetzen', totpResetTitle: 'Zweiten Faktor zur\u00fccksetzen',
        totpReset: 'Zur\u00fccksetzen',
        totpResetConfirm: 'Den zweiten Faktor von {0} entfernen? {0} meldet sich dann nur mit dem Passwort an, bis ein neuer eingerichtet ist.',
        totpResetDone: 'Der zweite Faktor von {0} ist entfernt.',
        users_selectFirst: 'Bitte w\u00e4hlen Sie zuerst einen Benutzer.', users_ownAccount: 'Das eigene Konto kann nicht gel\u00f6scht werden.',
        users_notLocked: '{0} ist nicht gesperrt.', users_noSecondFactor: '{0} hat keinen zweiten Faktor zum Zur\u00fccksetzen.'
    },
    zh: {
        totpResetButton: '\u91cd\u7f6e\u7b2c\u4e8c\u56e0\u7d20', totpResetTitle: '\u91cd\u7f6e\u7b2c\u4e8c\u56e0\u7d20', totpReset: '\u91cd\u7f6e',
        totpResetConfirm: '\u79fb\u9664 {0} \u7684\u7b2c\u4e8c\u56e0\u7d20\uff1f\u4e4b\u540e {0} \u4ec5\u51ed\u5bc6\u7801\u767b\u5f55\uff0c\u76f4\u5230\u8bbe\u7f6e\u65b0\u7684\u7b2c\u4e8c\u56e0\u7d20\u3002',
        totpResetDone: '{0} \u7684\u7b2c\u4e8c\u56e0\u7d20\u5df2\u79fb\u9664\u3002',
        users_selectFirst: '\u8bf7\u5148\u9009\u62e9\u4e00\u4e2a\u7528\u6237\u3002', users_ownAccount: '\u4e0d\u80fd\u5220\u9664\u81ea\u5df1\u7684\u8d26\u6237\u3002',
        users_notLocked: '{0} \u672a\u88ab\u9501\u5b9a\u3002', users_noSecondFactor: '{0} \u6ca1\u6709\u53ef\u91cd\u7f6e\u7684\u7b2c\u4e8c\u56e0\u7d20\u3002'
    }
};
