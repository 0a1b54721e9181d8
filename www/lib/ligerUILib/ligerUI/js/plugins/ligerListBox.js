/*
 * List box: a vertical list of text items of which one can be selected.
 *
 *   var lb = $('#l').kuiListBox({emptyText: 'none'});
 *   lb.setItems(['10.0.0.1', '10.0.0.2']); lb.selected();
 *   lb.on('select', function (text, index) {...});
 */
(function (window, $) {
    'use strict';

    var kui = window.kui;

    var ListBox = kui.extend(kui.Widget, function ListBox($el, options) {
        kui.Widget.call(this, $el);
        this.options = options;
        this.items = [];
        this.index = -1;
        $el.empty().addClass('kui-listbox').attr('aria-label', options.label);
        var self = this;
        $el.on('keydown', function (e) {
            var to = { 38: self.index - 1, 40: self.index + 1, 36: 0, 35: self.items.length - 1 }[e.which];
            if (to === undefined || !self.items.length) return;
            e.preventDefault();
            self.select(Math.max(0, Math.min(self.items.length - 1, to)));
        });
        this.setItems(options.items || []);
    }, {
        setItems: function (items) {
            var self = this;
            var keep = this.selected();
            this.items = items.slice();
            this.index = -1;
            this.$el.empty();
            // A list box must hold options: an empty list is plain text.
            this.$el.attr({ role: this.items.length ? 'listbox' : null, tabindex: this.items.length ? 0 : null });
            if (!this.items.length) {
                this.$el.append(kui.el('div', { cls: 'kui-listbox-empty', text: this.options.emptyText || '' }));
                return;
            }
            $.each(this.items, function (i, text) {
                var $item = kui.el('div', {
                    cls: 'kui-listbox-item', role: 'option', text: text, id: kui.uid('opt'), 'aria-selected': 'false',
                    on: { click: function () { self.select(i); } }
                });
                self.$el.append($item);
            });
            if (keep !== null) this.select($.inArray(keep, this.items), true);
        },
        select: function (i, quiet) {
            if (i < 0 || i >= this.items.length) { this.index = -1; return; }
            this.index = i;
            var $items = this.$el.children('.kui-listbox-item');
            $items.removeClass('kui-selected').attr('aria-selected', 'false');
            var $item = $items.eq(i).addClass('kui-selected').attr('aria-selected', 'true');
            this.$el.attr('aria-activedescendant', $item.attr('id'));
            if (!quiet) this.emit('select', this.items[i], i);
        },
        selected: function () { return this.index >= 0 ? this.items[this.index] : null; },
        destroyContent: function () { this.$el.empty(); }
    });

    kui.inject('ListBox', ListBox);
})(window, jQuery);
