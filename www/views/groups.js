/*
 * Groups view: the user groups, their names and console rights.
 */
const app = window.kvCore;
const $ = window.jQuery;
const { kui, T, Tf, row, input, field, toolbar, section, formError, dialogCall, tableName, rightsEditor, rightsSummary } = app;

export function build($p) {
    var btnEdit = kui.button({ text: T('edit'), kind: 'primary', name: 'group-edit', click: function () { editGroup(grid.selected()); } });
    var $grid = kui.el('div', { cls: 'kv-grid-groups' });
    var grid = $grid.kuiGrid({
        label: T('tab_groups'),
        rowId: function (g) { return g.id; },
        emptyText: T('noGroups'),
        columns: [
            { name: 'nm', display: T('name') },
            { name: 'level', display: T('level'), render: function (g) { return tableName('level', g.level, 4); } },
            { name: 'type', display: T('groupType'), render: function (g) { return tableName('groupType', g.type, 3); } },
            { name: 'dogDB', display: T('rights'), render: function (g) { return rightsSummary(g.dogDB); } }
        ]
    });
    grid.on('dblclick', editGroup);
    grid.on('activate', editGroup);
    grid.on('select', function (g) { btnEdit.enable(!!g); });
    $p.append(section(T('tab_groups'), [kui.el('div', { cls: 'kv-note', text: T('groupsNote') }), toolbar([btnEdit]), $grid]));
    return {
        render: function () { grid.setData(app.snap.privs); btnEdit.enable(!!grid.selected()); },
        reopen: function (form, id) {
            $.each(kui.list(app.snap.privs), function (i, g) { if (form === 'group' && g.id === id) editGroup(g); });
        }
    };
}

function editGroup(g) {
    if (!g) return;
    var $form = kui.el('form', { cls: 'kv-form' });
    var rights = rightsEditor(g.dogDB);
    $form.append(
        row(T('name'), input('nm', g.nm, { maxlength: 32 })),
        kui.el('div', { cls: 'kv-subtitle', text: T('consoleRights') }),
        rights.$el,
        kui.el('div', { cls: 'kv-note', text: T('groupRightsNote') })
    );
    kui.dialog({
        title: Tf('editGroupTitle', g.nm), content: $form, width: 460,
        keep: { view: 'groups', form: 'group', id: g.id }, buttons: [
            { text: T('save'), kind: 'primary', name: 'save', click: function (dlg) {
                var nm = field($form, 'nm');
                if (!nm) return formError($form, T('nameEmpty'));
                var policy = app.snap.curUser && app.snap.curUser.secureConf;
                var save = function () {
                    dialogCall(dlg, 'updPriv', { priv: {
                        id: g.id, nm: nm, dogDB: rights.value(),
                        f_pwd: policy ? JSON.stringify(policy) : ''
                    } }, null, Tf('groupSaved', nm));
                };
                // Saving overwrites the rights of every user of the group: say how many.
                var members = $.grep(kui.list(app.snap.users), function (u) { return u.pid === g.id; }).length;
                if (members) kui.confirm(Tf('groupSaveConfirm', members, g.nm), save, Tf('editGroupTitle', g.nm), T('save'));
                else save();
            } },
            { text: T('cancel'), click: function (dlg) { dlg.close(); } }
        ]
    });
}
